// The dialog templates as the platform reads them: GetDlgItem finds a control by
// its id, so two controls of one dialog must never share one.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/LittleEndian.h"
#include "resources/Dialogs.h"

namespace {

constexpr WORD kUnnamed = 0xFFFF;  // a static text no code looks up

// Steps over a string or a 0xFFFF-and-number field.
const BYTE* SkipNameOrOrdinal(const BYTE* p) {
    if (ReadWord(p) == 0xFFFF) return p + 4;
    while (ReadWord(p)) p += 2;
    return p + 2;
}

// The control ids of a template, in order.
std::vector<WORD> ControlIds(const BYTE* base) {
    WORD count = ReadWord(base + 8);
    const BYTE* p = base + 18;                        // style, extended style, count, x, y, cx, cy
    for (int field = 0; field < 3; field++) p = SkipNameOrOrdinal(p);  // menu, class, caption
    if (ReadDword(base) & DS_SETFONT) p = SkipNameOrOrdinal(p + 2);    // point size, face
    std::vector<WORD> ids;
    for (WORD i = 0; i < count; i++) {
        p += (4 - (p - base) % 4) % 4;
        ids.push_back(ReadWord(p + 16));  // after style, extended style, x, y, cx, cy
        p = SkipNameOrOrdinal(SkipNameOrOrdinal(p + 18));
        p += 2 + ReadWord(p);  // creation data
    }
    return ids;
}

}  // namespace

TEST(DialogTemplates, EveryControlIdIsDistinctWithinItsDialogAndTheProgramsOwnIdsAcrossDialogs) {
    const WORD dialogs[] = {kAboutDialogId, kFontDialogId,   kSearchDialogId,
                            kIndexDialogId, kGoToDialogId,   kFindAllDialogId};
    std::map<WORD, WORD> ownerOf;  // the program's own ids (not OK, Cancel, unnamed) to their dialog
    for (WORD dialog : dialogs) {
        SCOPED_TRACE(dialog);
        HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(dialog), RT_DIALOG);
        ASSERT_NE(resource, nullptr);
        std::set<WORD> seen;
        for (WORD id : ControlIds((const BYTE*)LoadResource(nullptr, resource))) {
            if (id == kUnnamed) continue;
            EXPECT_TRUE(seen.insert(id).second) << "id " << id << " twice";
            if (id == IDOK || id == IDCANCEL) continue;
            auto [it, fresh] = ownerOf.emplace(id, dialog);
            EXPECT_TRUE(fresh) << "id " << id << " also in dialog " << it->second;
        }
    }
    EXPECT_EQ(ownerOf.count(kGoToTitleId) + ownerOf.count(kHitCountId), 2u);
}
