// The document switched into print mode and back (see PrintMode.h).
#include "html/layout/PrintMode.h"

namespace velmoran {

TPrintMode::TPrintMode(TSectionList& document)
    : document_(&document),
      screen_{document.IsCopy, document.Printing, document.Background, document.YOff,
              document.PageCutY, document.SelB, document.SelE, document.ScaleX,
              document.ScaleY, document.NoOutput, document.PageNumber, std::move(document.LinkAreaCallback)}
{
    TSectionList& d = document;
    d.IsCopy = true;
    d.Printing = true;
    d.SelB = d.SelE = 0;
    d.ScaleX = d.ScaleY = 1.0f;
    d.NoOutput = false;
    d.PageNumber = 0;
    d.LinkAreaCallback = nullptr;
    d.TablePrinting = nullptr;
    d.SetYOffset(0);
}

TPrintMode::~TPrintMode()
{
    if (!document_)
        return;
    TSectionList& d = *document_;
    d.IsCopy = screen_.IsCopy;
    d.Printing = screen_.Printing;
    d.Background = screen_.Background;
    d.PageCutY = screen_.PageCutY;
    d.SelB = screen_.SelB;
    d.SelE = screen_.SelE;
    d.ScaleX = screen_.ScaleX;
    d.ScaleY = screen_.ScaleY;
    d.NoOutput = screen_.NoOutput;
    d.PageNumber = screen_.PageNumber;
    d.LinkAreaCallback = std::move(screen_.LinkAreaCallback);
    d.TablePrinting = nullptr;
    d.DrawList.clear();
    d.SetYOffset(screen_.YOff);  // the window's controls are placed again by the next paint
}

}  // namespace velmoran
