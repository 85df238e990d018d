#pragma once

// TPlayListView: the control that shows one playlist, its groups and their rows. It owns the
// list; the list's groups and rows are plain records that it paints and hit-tests itself, so
// a row costs no control of its own.

#include "library/PlayList.h"
#include "ui/framework/SmartCtrl.h"

#include <memory>

namespace vantor {

class TPlayListView : public TSmartCtrl {
public:
    TPlayListView(TCreateKey key, std::unique_ptr<TVPlayList> list);
    // Frees the list, which first stops its workers.
    ~TPlayListView() override;

    TVPlayList& List() const { return *m_list; }

protected:
    void On_Create() override;

private:
    std::unique_ptr<TVPlayList> m_list;
};

}
