#pragma once

#include "Customscene3d.h"

class TWindow3D;

// The scene shown by one TWindow3D, which creates it, owns it and sets Window.
class TScene3D : public TCustomScene3D {
public:
    TCustomWindow3D *GetWindow3D() const override;

    TWindow3D *Window = nullptr;
};
