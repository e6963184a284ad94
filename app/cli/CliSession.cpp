#include "app/cli/CliSession.h"

#include <cstdio>

#include "app/indEnviron.h"
#include "clone/CloneFileOps.h"
#include "model/ModelVariant.h"

namespace parlo::cli {

CliSession::CliSession() : previousEvents_(SetEventManager(&events_)) {}

CliSession::~CliSession() { SetEventManager(previousEvents_); }

int CliSession::Open(const std::string& path) {
    std::string failed;
    if (!doc_.SelectModel(CurrentVariant(), &failed)) {
        std::fprintf(stderr, "Cannot open '%s'.\n", failed.c_str());
        return kFileErrOpen;
    }
    doc_.NewFromDefaults();
    cmcEeprom loaded;
    if (const uint8_t code = OpenCloneFile(path, doc_.Working(), &loaded); code != kFileOk)
        return code;
    doc_.Working().Assign(loaded);
    if (!doc_.AfterLoad()) return kFileErrOpen;
    doc_.SetFileName(path);
    doc_.MarkUnmodified();
    return kFileOk;
}

int CliSession::Save(const std::string& path) {
    doc_.PrepareImage(doc_.Working(), PackMode::Save);
    const uint8_t code = SaveCloneFile(path, doc_.Working());
    if (code == kFileOk) doc_.MarkUnmodified();
    return code;
}

}  // namespace parlo::cli
