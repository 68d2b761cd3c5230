#pragma once

namespace garrison {

// Plays the program's sounds by id (135 to 140 for state changes, 161 the
// alarm) without waiting; a new sound replaces one still playing. Tests
// record what would play.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void play(int id) = 0;
};

} // namespace garrison
