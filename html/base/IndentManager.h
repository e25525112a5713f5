// The floats that narrow the lines of a block during layout. All Y values are document pixels.
#pragma once

#include "html/base/FreeList.h"

namespace velmoran {

struct IndentRec {
    int X = 0;   // the float's inner edge relative to LfEdge
    int YT = 0;  // top
    int YB = 0;  // bottom; 9999999 while open
    int ID = 0;  // owner, 0 for none
};

class IndentManagerBasic {
public:
    static constexpr int kOpenBottom = 9999999;

    virtual ~IndentManagerBasic() = default;

    void Reset(int lfEdge, int width);
    void Clear();
    int LeftIndent(int y) const;
    int RightSide(int y) const;
    int ImageBottom() const;
    void GetClearY(int& cl, int& cr) const;
    int GetNextWiderY(int y) const;
    int AddLeft(int x, int y);
    int AddRight(int x, int y);
    void RemoveLeft(int i) { L.Delete(i); }
    void RemoveRight(int i) { R.Delete(i); }

    TFreeList<IndentRec> L;
    TFreeList<IndentRec> R;
    int CurrentID = 0;
    int LfEdge = 0;
    int Width = 0;

private:
    bool Applies(const IndentRec& r, int y) const { return r.YT <= y && y < r.YB && (r.ID == 0 || r.ID == CurrentID); }
};

}  // namespace velmoran
