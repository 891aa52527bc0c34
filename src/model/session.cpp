#include "model/session.h"

#include <system_error>

namespace vanto {

namespace fs = std::filesystem;

SessionSettings startingSettings(const Session& session, bool found) {
    SessionSettings s = session.settings;
    const fs::path& program = session.programDirectory;
    std::error_code ec;
    if (!found) {
        s.Drive = program.root_path().string();
        s.WorkDirectory = program.string();
        s.StructureName.clear();
    } else {
        const fs::path drive(s.Drive);
        if (s.Drive.empty() || !drive.has_root_directory() ||
            !fs::is_directory(drive.root_path(), ec))
            s.Drive = program.root_path().string();
        // A relative work directory would depend on where the program was started.
        if (!fs::path(s.WorkDirectory).is_absolute() || !fs::is_directory(s.WorkDirectory, ec))
            s.WorkDirectory = program.string();
        if (!s.StructureName.empty() &&
            !fs::is_directory(structureDirectoryOf(s.WorkDirectory, s.StructureName), ec))
            s.StructureName.clear();
    }
    s.StructureDirectory = structureDirectoryOf(s.WorkDirectory, s.StructureName).string();
    return s;
}

}  // namespace vanto
