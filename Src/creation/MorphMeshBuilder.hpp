#pragma once

// Triangulates measured points into the faces of a morph.
class MorphMeshBuilder {
public:
    MorphMeshBuilder() = default;
};
