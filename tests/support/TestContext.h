#pragma once
// An AppContext around a given client and registry, with scripted desktop
// services, for tests of routines and windows.

#include "core/AppContext.h"
#include "netware/ServerReads.h"
#include "support/ScriptedServices.h"

#include <memory>

namespace testing {

struct TestContext {
    TestContext(nw::NetWareClient& client, settings::RegistryStore& registry)
        : context(client, registry, messages, fileDialogs, clipboard, launcher)
    {
    }
    // Reads of windows closed in the test may still use the context.
    ~TestContext() { nw::waitForServerReads(); }
    TestContext(const TestContext&) = delete;
    TestContext& operator=(const TestContext&) = delete;
    ScriptedMessages messages;
    ScriptedFileDialogs fileDialogs;
    MemoryClipboard clipboard;
    RecordingLauncher launcher;
    core::AppContext context;
};

}  // namespace testing
