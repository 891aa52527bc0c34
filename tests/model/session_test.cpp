#include "model/session.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace vanto {
namespace {

namespace fs = std::filesystem;

TEST(StartingSettings, KeepOnlyThePlacesThatStillExist) {
    test::TempDir program, work;
    fs::create_directories(work / "-Nave");
    fs::create_directories(program / "-Propia");
    const std::string P = program.path().string(), W = work.path().string();
    const std::string gone = W + "/ya-no-existe";
    struct Case {
        const char* what;
        bool found;
        std::string drive, work, name;
        std::string wantDrive, wantWork, wantName;
    };
    // Any existing absolute path passes as a drive; W stands for one that is not "/".
    const Case cases[] = {
        {"all present", true, W, W, "Nave", W, W, "Nave"},
        {"no settings file", false, W, W, "Nave", "/", P, ""},
        {"drive of another system", true, "Z:", W, "Nave", "/", W, "Nave"},
        {"empty drive", true, "", W, "", "/", W, ""},
        {"missing directory", true, "/", gone, "Nave", "/", P, ""},
        {"relative directory", true, "/", "Nave", "", "/", P, ""},
        {"missing directory, name found beside the program", true, "/", gone, "Propia", "/", P,
         "Propia"},
        {"missing structure", true, "/", W, "Derribada", "/", W, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Session session;
        session.programDirectory = program.path();
        session.settings = {c.drive, c.work, c.name, "viejo", "libre", 2};
        const SessionSettings s = startingSettings(session, c.found);
        EXPECT_EQ(s.Drive, c.wantDrive);
        EXPECT_EQ(s.WorkDirectory, c.wantWork);
        EXPECT_EQ(s.StructureName, c.wantName);
        EXPECT_EQ(s.StructureDirectory, c.wantWork + "/-" + c.wantName);
        EXPECT_EQ(s.SpareText, "libre");
        EXPECT_EQ(s.ChildWindowState, 2);
    }
}

}  // namespace
}  // namespace vanto
