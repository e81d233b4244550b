#pragma once

#include "resources/Resources.h"

#include <QDialog>
#include <QFont>
#include <QPoint>

#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace platform {

// Dialog units of a dialog font: a quarter of the average character width across, an eighth
// of the character height down.
struct DialogUnits {
    int baseX = 6;
    int baseY = 13;
    int ToPixelsX(int du) const { return (du * baseX + 2) / 4; }
    int ToPixelsY(int du) const { return (du * baseY + 4) / 8; }
};

QFont DialogFont(const std::string& face, int points);
DialogUnits DialogUnitsOf(const QFont& font);

// A modal dialog built from a template: every control at its place, reached by its id.
// Control 1 confirms (OnOK), control 2, Escape and the close box cancel (OnCancel).
class TemplateDialog : public QDialog {
public:
    explicit TemplateDialog(const resources::DialogTemplate& t, QWidget* parent = nullptr);

    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    QCheckBox* Check(int id) const;
    QComboBox* List(int id) const;

    std::string Text(int id) const; // an edit field's text, single-byte
    void SetText(int id, const std::string& text);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool on);

    // Runs the dialog modally: IDOK (1) or IDCANCEL (2).
    int DoModal();

    const DialogUnits& Units() const { return m_units; }
    QRect ControlRect(int id) const; // in pixels

protected:
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { done(1); }
    virtual void OnCancel() { done(2); }
    void reject() override { OnCancel(); }
    void showEvent(QShowEvent* event) override;

private:
    void Build(const resources::DialogTemplate& t);

    std::map<int, QWidget*> m_controls;
    DialogUnits m_units;
    bool m_initialised = false;
};

} // namespace platform
