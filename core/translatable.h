#pragma once

// Marks an English text that a window shows in the user's language. Qt's lupdate finds the
// marker and files the text under the one context of the windows, "Tarvona"; the code keeps the
// English text itself, since the core has no Qt and the files it writes are never translated.
// The definition is Qt's own, token for token, so that the two may meet in one file.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
