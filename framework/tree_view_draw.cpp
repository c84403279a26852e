// Custom drawing of the tree view through the standard events.

#include "framework/tree_view.h"

namespace stampwell {

bool TCustomTreeView::StandardCustomDrawAssigned() const {
  return OnCustomDraw || OnCustomDrawItem || OnAdvancedCustomDraw || OnAdvancedCustomDrawItem;
}

LRESULT TCustomTreeView::CustomDraw(NMTVCUSTOMDRAW& draw) {
  NMCUSTOMDRAW& cd = draw.nmcd;
  bool default_draw = true;
  switch (cd.dwDrawStage) {
    case CDDS_PREPAINT:
      FireEvent(OnCustomDraw, this, cd.rc, default_draw);
      if (default_draw) FireEvent(OnAdvancedCustomDraw, this, cd.rc, TCustomDrawStage::cdPrePaint, default_draw);
      if (!default_draw) return CDRF_SKIPDEFAULT;
      return (OnCustomDrawItem || OnAdvancedCustomDrawItem) ? CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT : CDRF_NOTIFYPOSTPAINT;
    case CDDS_POSTPAINT:
      FireEvent(OnAdvancedCustomDraw, this, cd.rc, TCustomDrawStage::cdPostPaint, default_draw);
      return CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
      auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
      if (!node) return CDRF_DODEFAULT;
      FireEvent(OnCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState), default_draw);
      bool paint_images = true;
      if (default_draw) {
        FireEvent(OnAdvancedCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState),
                  TCustomDrawStage::cdPrePaint, paint_images, default_draw);
      }
      return default_draw ? (CDRF_NOTIFYPOSTPAINT | CDRF_NEWFONT) : CDRF_SKIPDEFAULT;
    }
    case CDDS_ITEMPOSTPAINT: {
      auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
      bool paint_images = true;
      if (node) {
        FireEvent(OnAdvancedCustomDrawItem, this, node, static_cast<TCustomDrawState>(cd.uItemState),
                  TCustomDrawStage::cdPostPaint, paint_images, default_draw);
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace stampwell
