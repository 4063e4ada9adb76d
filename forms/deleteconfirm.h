#pragma once

// The question the grid and the navigator ask before they delete a record: "Delete record?"
// in a box captioned "Confirm" with the question-mark icon, OK and Cancel, centred on the
// screen. True only for OK; Escape and the close box mean Cancel.
bool confirmDelete();
