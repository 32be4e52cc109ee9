#include "Customscene3d.h"

TCustomScene3D::TCustomScene3D()
{
    MakeBoxNormalization();
}

void TCustomScene3D::Update()
{
    MakeBoxNormalization();
}

void TCustomScene3D::UpdateMatrix()
{
    AbsoluteMatrix = MatrixProduct(MatrixProduct(LocalMatrix, BoxMatrix), ViewMatrix);
    UpdateChildMatrices();
}

void TCustomScene3D::ApplyBox()
{
    MakeBoxNormalization();
}

void TCustomScene3D::MakeBoxNormalization()
{
    BoxMatrix = TranslationMatrix(-((BoxMin + BoxMax) * 0.5));
    if (EqualizeBox) {
        const TXYZ extent = BoxMax - BoxMin;
        const double m = MaxComponent(extent);
        if (m > 0.0) {
            auto factor = [m](double e) { return float(e > 0.0 ? m / e : 1.0); };
            MatrixMultiply(BoxMatrix, ScalingMatrix(factor(extent.x), factor(extent.y), factor(extent.z)));
        }
    }
    UpdateMatrix();
}
