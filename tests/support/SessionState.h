#pragma once

#include "LumarkMain.h"

namespace lumark {

// Takes what the window shows as its file's state, as a save would, without writing: tests
// put documents into the window directly, and nothing may ask to save on the way out.
inline void TreatAsSaved(LumarkMain& window) {
    window.Session().Adopt(window.Document(), window.Session().FilePath());
}

}  // namespace lumark
