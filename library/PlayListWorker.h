#pragma once

namespace vantor {

// A worker thread owned by a playlist (its loader or its cover thread). Destroying it stops the
// thread and waits for it; the playlist destroys its cover thread first, then its loader.
class TPlayListWorker {
public:
    virtual ~TPlayListWorker() = default;
};

}
