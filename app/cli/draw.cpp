// vanto-cli draw: the editor's full redraw of a structure, or the diagram
// window's picture, as an SVG picture, through the view layer.

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/cli/commands.h"
#include "diagrams/extremes.h"
#include "diagrams/picture.h"
#include "editor/drawing.h"
#include "model/textfile.h"
#include "view/screen_view.h"
#include "view/svg_surface.h"

namespace vanto::cli {

namespace {

int writeSvg(const std::filesystem::path& out, const view::SvgSurface& svg) {
    try {
        writeFileAtomically(out, svg.document());
    } catch (const std::system_error& e) {
        std::cerr << "No se pudo escribir el fichero: " << out.string() << '\n';
        return int(BadInput);
    }
    std::cout << "Dibujo escrito en " << out.string() << '\n';
    return int(Ok);
}

}  // namespace

int runDraw(const Invocation& call) {
    double width = 14400, height = 10800;
    if (call.has("--size")) {
        const auto& size = call.numbers("--size");
        width = size[0], height = size[1];
        if (!(width >= 1 && height >= 1))
            return call.usageError("el tamaño debe ser de al menos 1,1");
    }
    int viewIndex = view::InitialView;
    if (call.has("--view")) {
        const std::string& v = call.text("--view");
        if (v.size() != 1 || v[0] < '0' || v[0] > '7')
            return call.usageError("vista desconocida: " + v + " (de 0 a 7)");
        viewIndex = v[0] - '0';
    }
    editor::Mode mode = editor::Mode::Nodes;
    if (call.has("--mode")) {
        const std::string& m = call.text("--mode");
        if (m == "bars")
            mode = editor::Mode::Bars;
        else if (m != "nodes")
            return call.usageError("modo desconocido: " + m + " (nodes o bars)");
    }
    int status = Ok;
    std::optional<double> scale;
    if (call.has("--scale") && !(scale = scaleOption(call, status))) return status;
    const auto shown = caseOption(call, status);
    if (!shown) return status;
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const std::filesystem::path out = call.text("--out");
    std::optional<std::string> codes;
    if (call.has("--diagrams")) {
        codes = call.text("--diagrams");
        if (codes->empty() || codes->find_first_not_of(diagrams::DiagramCodes) != std::string::npos)
            return call.usageError("diagramas desconocidos: " + *codes + " (letras de " +
                                   diagrams::DiagramCodes + ")");
    }

    return guarded([&] {
        view::SvgSurface svg(width, height);
        const float W = float(svg.scaleWidth()), H = float(svg.scaleHeight());
        if (codes) {
            // The diagram window's picture: its view, its fit, the results.
            try {
                auto picture = diagrams::DiagramPicture::load(*dir, *shown);
                picture.Perspec(viewIndex, W, H);
                diagrams::PictureOptions o;
                o.codes = *codes;
                // The window's fit for these diagrams unless a scale is given.
                o.S = scale ? *scale : diagrams::fittedDiagramScale(picture.data(), *codes);
                o.values = call.has("--values");
                picture.fitDrawn(o, W, H);
                o.localAxes = call.has("--axes");
                o.nodeNumbers = call.has("--numbers") && mode == editor::Mode::Nodes;
                o.barNumbers = call.has("--numbers") && mode == editor::Mode::Bars;
                picture.DibujaEstr(svg, 1, o);
            } catch (const diagrams::DiagramError& e) {
                std::cerr << e.what() << '\n';
                return int(BadInput);
            }
            return writeSvg(out, svg);
        }
        const Structure s = loadStructure<float>(*dir, part::All);
        view::ScreenView screen(view::EditorScreen);
        screen.Perspec(viewIndex);
        screen.Paso2D(s, W, H);
        editor::DrawOptions o;
        o.mode = mode;
        o.localAxes = call.has("--axes");
        editor::DibujaEstr(svg, s, screen, o, &svg);
        if (call.has("--numbers")) {
            if (mode == editor::Mode::Nodes)
                editor::numberNodes(svg, s, screen);
            else
                editor::numberBars(svg, s, screen);
        }
        return writeSvg(out, svg);
    });
}

}  // namespace vanto::cli
