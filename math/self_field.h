// Self-field: the field axis of an Ic(H)-type curve corrected for the field
// of the bias current itself, x' = x + k y, with k (x units per y unit,
// signed) from the junction-parameter group. Shifted Fraunhofer patterns
// come back centred.
#pragma once

#include "curves/curve.h"

namespace tsm::math {

void SelfFieldCurve(curves::Curve& curve, double k);

}  // namespace tsm::math
