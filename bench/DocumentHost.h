#pragma once
// A cell host for the benchmarks: the document's default image and nothing
// else; commands that would reach the main window do nothing.
#include "app/Document.h"
#include "cells/CellDispatcher.h"

namespace parlo::bench {

class DocumentHost : public CellHost {
public:
    explicit DocumentHost(Document& d) : doc(d) {}
    void RunCommand(int, int32_t, const CellContext&) override {}
    void RunRowCommand(RowCommand, CellContext&, ChannelRecord&, int, int) override {}
    void ContextHelp(int, int, int32_t) override {}
    bool AppendChannel(int) override { return false; }
    EepromImage& DefaultImage() override { return doc.Defaults(); }
    Document& doc;
};

}  // namespace parlo::bench
