// Looking up X11 visuals, for code that puts pixels into windows itself.
#pragma once

#include <xcb/xcb.h>

namespace lmvn::ui {

// The visual `id` among the server's screens and depths; nullptr when there is none.
const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id);

}  // namespace lmvn::ui
