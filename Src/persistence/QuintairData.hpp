#pragma once

// Per-user measuring snapshots stored with the project.
class QuintairData {
public:
    QuintairData() = default;
};
