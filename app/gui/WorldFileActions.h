#pragma once

class QFileDialog;
class QWidget;

// The file dialog of the toolbar's "Save world…" (save) or "Open world…":
// world files by their own filter, or all files; saving appends the world
// file extension to a name without one and asks before replacing a file.
QFileDialog *CreateWorldFileDialog(QWidget *parent, bool save);
