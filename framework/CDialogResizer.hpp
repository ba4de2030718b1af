#pragma once

// Moves and grows dialog items when a dialog is resized.
class CDialogResizer {
public:
    CDialogResizer() = default;
};
