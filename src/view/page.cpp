#include "view/page.h"

namespace vanto::view {

PageLayout pageLayout(double W, double H, double PW, double PH, int percent) {
    return {H / PH > W / PW ? PH / H : PW / W, percent / 100.0};
}

}  // namespace vanto::view
