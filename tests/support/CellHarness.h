#pragma once
// Cells on a document made from a variant's factory image: the event bus on
// virtual time, a host that records what cells ask of the application, and
// one-line helpers to draw a cell, type into it, press a key or pick an item.
#include <gtest/gtest.h>

#include <string>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "cells/CellHost.h"
#include "model/ModelVariant.h"
#include "runtime/EventManager.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::test {

// A selectable cell of the given category, cell and record index.
inline CellDesc SelectableCell(int category, int cell, int32_t index) {
    CellDesc d;
    d.category = category;
    d.cell = cell;
    d.index = index;
    d.flagsA = CellDesc::kSelectable;
    return d;
}

// The text a cell draws, as a sheet shows it.
inline std::string ShownText(CellDispatcher& cells, int category, int cell, int32_t index) {
    const CellDesc d = SelectableCell(category, cell, index);
    CellContext ctx;
    ctx.desc = &d;
    cells.Handle(ctx, kModeDraw);
    return ctx.request.text;
}

class CellTestHost : public CellHost {
public:
    // The model data are not rebuilt, so an edit changes only what the cell
    // itself writes.
    void CellEdited() override { ++edits; }
    const EepromImage* CompareBase() override { return compareBase; }

    int edits = 0;
    const EepromImage* compareBase = nullptr;
};

class CellHarness : public ::testing::Test {
protected:
    VirtualScheduler clock;
    EventManager events{clock};
    Document doc{events};
    CellTestHost host;
    CellDispatcher cells{doc.Scope(), &host};
    RecordingPrompts prompts;

    // A new document of a variant from its factory image.
    void Open(int v) {
        ASSERT_TRUE(doc.SelectModel(v));
        doc.NewFromDefaults();
    }
    EepromImage& Image() { return doc.Working(); }

    // Draws a cell; the answers stay in the returned context.
    CellContext Draw(int category, int cell, int32_t index = 0) {
        desc_ = SelectableCell(category, cell, index);
        CellContext ctx;
        ctx.desc = &desc_;
        cells.Handle(ctx, kModeDraw);
        return ctx;
    }
    std::string Show(int category, int cell, int32_t index = 0) {
        return Draw(category, cell, index).request.text;
    }
    // Commits `text` as the in-place editor does.
    CellContext Type(int category, int cell, int32_t index, const std::string& text) {
        CellContext ctx = Prepared(category, cell, index);
        ctx.request.phase = kPhaseCommit;
        ctx.request.editText = text;
        cells.Handle(ctx, kModeOperate);
        return ctx;
    }
    CellContext Key(int category, int cell, int32_t index, int key) {
        CellContext ctx = Prepared(category, cell, index);
        ctx.operation = key;
        ctx.request.key = key;
        cells.Handle(ctx, kModeOperate);
        return ctx;
    }
    CellContext Pick(int category, int cell, int32_t index, int item,
                     PopupKind kind = PopupKind::List) {
        CellContext ctx = Prepared(category, cell, index);
        ctx.pick = true;
        ctx.request.phase = kPhasePick;
        ctx.request.chosen = ChosenItem{kind, item};
        cells.Handle(ctx, kModeOperate);
        return ctx;
    }

private:
    CellContext Prepared(int category, int cell, int32_t index) {
        desc_ = SelectableCell(category, cell, index);
        CellContext ctx;
        ctx.desc = &desc_;
        ctx.request.grid = true;
        return ctx;
    }
    CellDesc desc_;
};

}  // namespace parlo::test
