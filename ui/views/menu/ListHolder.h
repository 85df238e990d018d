#pragma once

// The playlists page: one entry per playlist, the active one highlighted; entries make their
// list the active one. Its buttons add a new list, remove the active one and open the active
// list's options.

#include "ui/views/menu/MenuHolder.h"

#include <functional>

namespace vantor {

class TVPlayList;

class TListItem : public TSmartCtrl {
public:
    TListItem(TCreateKey key, const TViewContext& context, TVPlayList& playList);

    TVPlayList* liPlayList; // non-owning: the entry goes before its list
    TButtonState liState = bsNormal;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TListHolder : public TMenuHolder {
public:
    // Follows the lists of the context's playlist panel while it lives.
    TListHolder(TCreateKey key, const TViewContext& context);
    ~TListHolder() override;

    // The entries of the panel's lists, made again.
    void LoadMenu() override;
    // A list came or is about to go.
    void AddPlaylist(TVPlayList& PlayList);
    void RemoveListItem(const TVPlayList& PlayList);
    void ArrangeProc(TItemContainer& ItemContainer) override;
    void Activate() override;

    // Fills and shows the options page for a list.
    std::function<void(TVPlayList& list)> ShowOptions;
    // A list is about to go (after its entry went), for the pages that show it.
    std::function<void(const TVPlayList& list)> ListRemoved;
};

}
