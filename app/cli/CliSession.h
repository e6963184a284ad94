#pragma once
// What a parlo-cli command that works on a document sets up: the event bus,
// a document, and the file loaded into it as File > Open does.
#include <memory>
#include <optional>
#include <string>

#include "app/Document.h"
#include "app/cmcEvMan.h"

namespace parlo::cli {

class CliSession {
public:
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    Document& Doc() { return doc_; }
    // Loads FILE as the Open command does, then the post-load processing.
    // Returns the file error code (its message shown on stderr).
    int Open(const std::string& path);
    // Saves the document as the Save command does.
    int Save(const std::string& path);

private:
    cmcEvMan events_;
    cmcEvMan* previousEvents_;
    Document doc_;
};

}  // namespace parlo::cli
