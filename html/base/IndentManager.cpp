// Float indents; see IndentManager.h.
#include "html/base/IndentManager.h"

#include <memory>

namespace velmoran {

void IndentManagerBasic::Reset(int lfEdge, int width)
{
    LfEdge = lfEdge;
    Width = width;
    CurrentID = 0;
}

void IndentManagerBasic::Clear()
{
    L.Clear();
    R.Clear();
    CurrentID = 0;
}

int IndentManagerBasic::LeftIndent(int y) const
{
    bool found = false;
    int x = 0;
    for (const auto& r : L)
        if (Applies(*r, y) && (!found || r->X > x)) {
            x = r->X;
            found = true;
        }
    return found ? x + LfEdge : LfEdge;
}

int IndentManagerBasic::RightSide(int y) const
{
    bool found = false;
    int x = 0;
    for (const auto& r : R)
        if (Applies(*r, y) && (!found || r->X < x)) {
            x = r->X;
            found = true;
        }
    return found ? x + LfEdge : Width;
}

int IndentManagerBasic::ImageBottom() const
{
    int bottom = 0;
    for (const auto* list : {&L, &R})
        for (const auto& r : *list)
            if (r->ID == 0 && r->YB > bottom)
                bottom = r->YB;
    return bottom;
}

void IndentManagerBasic::GetClearY(int& cl, int& cr) const
{
    auto clear = [](const TFreeList<IndentRec>& list) {
        bool any = false;
        int bottom = 0;
        for (const auto& r : list)
            if (r->ID == 0 && (!any || r->YB > bottom)) {
                bottom = r->YB;
                any = true;
            }
        return any ? bottom + 1 : 0;
    };
    cl = clear(L);
    cr = clear(R);
}

int IndentManagerBasic::GetNextWiderY(int y) const
{
    int result = 0;
    bool found = false;
    for (const auto* list : {&L, &R})
        for (const auto& r : *list)
            if (r->ID == 0 && r->YB > y && (!found || r->YB < result)) {
                result = r->YB;
                found = true;
            }
    return found ? result : y;
}

int IndentManagerBasic::AddLeft(int x, int y)
{
    L.Add(std::make_unique<IndentRec>(IndentRec{x, y, kOpenBottom, CurrentID}));
    return L.Count() - 1;
}

int IndentManagerBasic::AddRight(int x, int y)
{
    R.Add(std::make_unique<IndentRec>(IndentRec{x, y, kOpenBottom, CurrentID}));
    return R.Count() - 1;
}

}  // namespace velmoran
