#pragma once

#include "app/instancechannel.h"
#include "platform/programlock.h"

class QWidget;

namespace orlu {

// One program per program folder, as the start sees it: the folder's lock, and
// the channel through which a second start brings the running window forward.
class SingleInstance {
public:
    explicit SingleInstance(const ProgramFolder &folder);

    // True when this start may go on: the folder was free (this program now
    // answers later starts), or it cannot be locked at all (a missing or
    // read-only folder, which the start-up checks report). False when another
    // program runs on the folder: it was asked to come forward, and the
    // operator was told (standard error and a message box).
    bool claim();

    // Brings `window` to the front, out of its minimised state, whenever a later start asks.
    void raiseOnRequest(QWidget &window);

private:
    ProgramFolder m_folder;
    ProgramLock m_lock;
    InstanceChannel m_channel;
};

} // namespace orlu
