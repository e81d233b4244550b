#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// One answer as it came over the wire.
struct RawAnswer {
    int status = 0;
    std::map<std::string, std::string> fields; // names in lower case
    std::string body;
    std::string Field(const std::string& name) const {
        const auto it = fields.find(name);
        return it == fields.end() ? std::string() : it->second;
    }
};

// What a client saw on one connection: the answers, and how the connection ended.
struct RawTalk {
    std::vector<RawAnswer> answers;
    bool closed = false; // the server ended the connection cleanly (end of file)
    bool reset = false;  // ... or reset it
    std::string rest;    // bytes that are no whole answer
    int Status() const { return answers.empty() ? 0 : answers.front().status; }
};

// A TCP connection to 127.0.0.1:port, from the loopback address `from` (any when empty).
int ConnectTo(int port, const std::string& from = {});

// Sends `bytes` (then half-closes when asked), and reads until the server ends the connection
// or `wait` passes. HEAD answers have no body: say how many requests were HEAD requests, first.
RawTalk Talk(int port, const std::string& bytes, bool halfClose = false,
             std::chrono::milliseconds wait = std::chrono::seconds(5));
// The same on a connection already open (which it closes).
RawTalk TalkOn(int fd, const std::string& bytes, bool halfClose = false,
               std::chrono::milliseconds wait = std::chrono::seconds(5));

// Reads answers from bytes received (whole ones only); `headAnswers` answers carry no body.
std::vector<RawAnswer> ReadAnswers(std::string& bytes, int headAnswers = 0);

// "GET target HTTP/1.1" with Host and the fields given (each ending in CRLF), and a blank line.
std::string Get(const std::string& target, const std::string& fields = {});

} // namespace testing_support
