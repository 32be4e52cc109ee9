#pragma once

class QWidget;

// The user guide in a window of its own beside `owner`, opened at its start
// (the chapter on the window follows the introduction). A second call brings
// the open guide to the front.
void ShowGuide(QWidget *owner);
