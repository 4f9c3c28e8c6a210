// The curve editor on a screen with other dots per inch.
#include "shell/win/pressure_panel.h"

using namespace scribo;

void PressurePanel::rescaleHomePositions(int oldDpi, int newDpi) {
    if (!homeTaken_ || oldDpi <= 0 || newDpi <= 0 || oldDpi == newDpi) return;
    // Client coordinates scale about the client origin, as the dialog's own controls do.
    for (Rect32* r : {&home_.start, &home_.middle, &home_.end}) {
        const int w = MulDiv(r->right - r->left, newDpi, oldDpi);
        const int h = MulDiv(r->bottom - r->top, newDpi, oldDpi);
        r->left = MulDiv(r->left, newDpi, oldDpi);
        r->top = MulDiv(r->top, newDpi, oldDpi);
        r->right = r->left + w;
        r->bottom = r->top + h;
    }
}
