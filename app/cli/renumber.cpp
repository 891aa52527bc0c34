// vanto-cli renumber: looks for a node numbering with a smaller half band
// width and, on request, rewrites the structure with it.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "app/cli/commands.h"
#include "model/files.h"
#include "renumber/renumbering.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runRenumber(const Invocation& call) {
    const std::optional<std::string> from =
        call.has("--from") ? std::optional(call.text("--from")) : std::nullopt;
    const bool save = call.has("--save");
    const auto found = structureDirectory(call.arg(0));
    if (!found) return BadInput;
    const fs::path dir = fs::absolute(*found).lexically_normal();

    return guarded([&]() -> int {
        std::optional<renumber::Renumbering> study;
        try {
            study.emplace(renumber::LeeDatos(dir));
        } catch (const renumber::RenumberError& e) {
            printMessage("", e.what());
            return BadInput;
        }
        renumber::Renumbering& r = *study;
        renumber::StudyResult result;
        if (from) {
            const auto parsed = renumber::parseStartNode(*from, r.data().nodeCount);
            if (const auto* refusal = std::get_if<std::string>(&parsed)) {
                if (r.data().nodeCount < 1) {
                    printMessage("", *refusal);
                    return BadInput;
                }
                return call.usageError(*refusal);
            }
            const auto start = std::get<renumber::StartNode>(parsed);
            if (start.clamped)
                std::cerr << "La estructura tiene " << start.node << " nudos: se parte del nudo "
                          << start.node << ".\n";
            result = r.studyFrom(start.node);
        } else {
            TerminalProgress progress({{renumber::StageTrials, "Renumerando, nudo de partida"}});
            result = r.studyAll(&progress);
            progress.finish();
        }
        if (result.outcome == renumber::StudyOutcome::NotConnected) {
            printMessage("", renumber::NotConnectedMessage);
            return BadInput;
        }

        std::cout << "Estructura: " << dir.string() << '\n'
                  << "Ancho de banda inicial: " << r.InitialWidth() << '\n'
                  << "Nudo: " << (r.BestStart() ? std::to_string(r.BestStart()) : "(ninguno)")
                  << '\n'
                  << "Ancho Banda: " << r.BestWidth() << '\n'
                  << result.comment << '\n';
        if (!save) return Ok;
        if (!r.canSave()) {
            std::cerr << "No se graba nada: la numeración actual es la mejor encontrada.\n";
            return Ok;
        }
        const int cases = r.data().cases.count();
        const auto deleted = r.GrabaDatos(dir);
        if (cases == 1)
            std::cout << "Grabados BARRAS.DAT, COORDENA.DAT, COACCION.DAT y CARGAS.DAT";
        else
            std::cout << "Grabados BARRAS.DAT, COORDENA.DAT, COACCION.DAT, CARGAS.DAT y CARGAS.H02"
                      << (cases > 2 ? " a " + DiscoX::caseFileName("CARGAS", cases) : "");
        std::cout << " con la nueva numeración.\n";
        if (!deleted.empty()) {
            std::cout << "Borrados los resultados, numerados a la antigua:";
            for (const auto& name : deleted)
                std::cout << ' ' << name;
            std::cout << '\n';
        }
        return Ok;
    });
}

}  // namespace vanto::cli
