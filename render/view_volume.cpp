// The view volume of a projection matrix: its six clip planes, each the sum or difference of the
// matrix's last row and one of the others (-w <= x, y, z <= w in clip space).
//
// Eye space, world units; matrices column-major (row r, column c at m[4c + r]).
#include "render/view_volume.h"

#include <cmath>
#include <initializer_list>

namespace valley {

bool sphereOutsideView(const Vec3& centre, float radius, const Mat4& projection) {
    const float* m = projection.m;
    // In double, with a thousandth of the radius to spare, so that rounding never leaves out
    // a sphere that touches the volume.
    const double reach = 1.001 * radius;
    for (int row = 0; row < 3; ++row) {
        for (double side : {1.0, -1.0}) {
            const double a = m[3] + side * m[row];
            const double b = m[7] + side * m[4 + row];
            const double c = m[11] + side * m[8 + row];
            const double d = m[15] + side * m[12 + row];
            const double length = std::sqrt(a * a + b * b + c * c);
            if (length > 0.0 && a * centre.x + b * centre.y + c * centre.z + d < -reach * length) {
                return true;
            }
        }
    }
    return false;
}

} // namespace valley
