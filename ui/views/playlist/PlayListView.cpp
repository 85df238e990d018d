#include "ui/views/playlist/PlayListView.h"

#include <utility>

namespace vantor {

TPlayListView::TPlayListView(TCreateKey key, std::unique_ptr<TVPlayList> list)
    : TSmartCtrl(key)
    , m_list(std::move(list))
{
}

TPlayListView::~TPlayListView() = default;

void TPlayListView::On_Create()
{
    TSmartCtrl::On_Create();
    SC_ID = m_list->ControlID();
}

}
