#pragma once
// An AppContext around a given client and registry, with scripted desktop
// services, for tests of routines and windows.

#include "core/AppContext.h"
#include "support/ScriptedServices.h"

#include <memory>

namespace testing {

struct TestContext {
    TestContext(nw::NetWareClient& client, settings::RegistryStore& registry)
        : context(client, registry, messages, fileDialogs, clipboard, launcher)
    {
    }
    ScriptedMessages messages;
    ScriptedFileDialogs fileDialogs;
    MemoryClipboard clipboard;
    RecordingLauncher launcher;
    core::AppContext context;
};

}  // namespace testing
