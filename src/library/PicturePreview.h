#pragma once

class QFileDialog;

// Adds a preview pane to one of Qt's own open dialogs: the picture under
// the cursor, scaled to fit, or nothing when it cannot be loaded. The
// dialog must use Qt's own widgets (QFileDialog::DontUseNativeDialog).
void AddPicturePreview(QFileDialog& dialog);
