// The paper the locale prints on, read from its LC_PAPER (or LC_MEASUREMENT) data
// without touching the program's own locale.
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "Print.h"

namespace {

bool IsSet(const char* name) {
    const char* value = getenv(name);
    return value && *value;
}

// The locale the category takes from the environment; 0 when it cannot be had.
locale_t EnvironmentLocale(int mask) { return newlocale(mask, "", (locale_t)0); }

}  // namespace

PaperSize LocalePaperSize() {
    // LC_PAPER decides when the environment names it; otherwise a locale that
    // measures in inches prints on Letter.
    bool byPaper = IsSet("LC_ALL") || IsSet("LC_PAPER") || !IsSet("LC_MEASUREMENT");
    locale_t locale = EnvironmentLocale(byPaper ? LC_PAPER_MASK : LC_MEASUREMENT_MASK);
    if (!locale) return PaperSize::A4;
    bool letter;
    if (byPaper) {
        // The paper height in millimetres: 279 for Letter, 297 for A4.
        letter = (int)(intptr_t)nl_langinfo_l(_NL_PAPER_HEIGHT, locale) == 279;
    } else {
        letter = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, locale)[0] == 2;
    }
    freelocale(locale);
    return letter ? PaperSize::Letter : PaperSize::A4;
}
