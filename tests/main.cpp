// The entry point of the test executables: runs the test class its first
// argument names (see support/TestMain.h), or lists the classes it holds.

#include "support/TestMain.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, testing::TestRun>& testPrograms()
{
    static std::map<std::string, testing::TestRun> programs;
    return programs;
}

std::string baseName(const char* path)
{
    std::string name(path);
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const auto dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

int listTestPrograms(const char* executable, FILE* out)
{
    std::fprintf(out, "Usage: %s <test> [Qt Test options]\nTests:\n", executable);
    for (const auto& entry : testPrograms())
        std::fprintf(out, "  %s\n", entry.first.c_str());
    return out == stdout ? 0 : 2;
}

}  // namespace

bool testing::registerTestProgram(const char* sourceFile, TestRun run)
{
    return testPrograms().emplace(baseName(sourceFile), run).second;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return listTestPrograms(argv[0], stderr);
    if (std::strcmp(argv[1], "--list") == 0)
        return listTestPrograms(argv[0], stdout);
    const auto found = testPrograms().find(argv[1]);
    if (found == testPrograms().end()) {
        std::fprintf(stderr, "%s: no test named %s\n", argv[0], argv[1]);
        return listTestPrograms(argv[0], stderr);
    }
    // The class sees the executable's name followed by its own options.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return found->second(argc - 1, arguments.data());
}
