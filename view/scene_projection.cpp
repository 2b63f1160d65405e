#include "view/scene_projection.h"

#include "view/scene_geometry.h"

#include <cmath>
#include <cstring>

namespace {

const double kRadians = 3.14159265358979323846 / 180.0;

// v turned about Y (by the angle whose cosine and sine are turn[2] and
// turn[3]) and then about X (turn[0] and turn[1]): the order glRotated's
// matrices apply to a vertex.
void Turn(const double* v, const double* turn, double* out)
{
    const double x = v[0] * turn[2] + v[2] * turn[3];
    const double z = v[2] * turn[2] - v[0] * turn[3];
    out[0] = x;
    out[1] = v[1] * turn[0] - z * turn[1];
    out[2] = v[1] * turn[1] + z * turn[0];
}

double Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

void ProjectScene(double angleX, double angleY, int width, int height, unsigned char* map,
                  ExpectedPicture& expected)
{
    std::memset(&expected, 0, sizeof expected);
    if (map != nullptr)
        std::memset(map, kPixelBackground, static_cast<size_t>(width) * height);

    const double turn[4] = {std::cos(angleX * kRadians), std::sin(angleX * kRadians),
                            std::cos(angleY * kRadians), std::sin(angleY * kRadians)};
    // The light's position turns about Y alone, by -3 x angleX.
    const double lightTurn[4] = {1.0, 0.0, std::cos(-3.0 * angleX * kRadians),
                                 std::sin(-3.0 * angleX * kRadians)};
    const double position[3] = {kSceneLightPosition[0], kSceneLightPosition[1], kSceneLightPosition[2]};
    double light[3];
    Turn(position, lightTurn, light);
    const double lightLength = std::sqrt(Dot(light, light));

    // gluPerspective's scale, then the viewport's: window x from eye x / -z.
    const double f = 1.0 / std::tan(kSceneFieldOfView * 0.5 * kRadians);
    const double aspect = height != 0 ? static_cast<double>(width) / height : width;
    const double scale[2] = {f / aspect * width * 0.5, f * height * 0.5};

    for (int face = 0; face < 6; ++face) {
        const SceneFace& sceneFace = kSceneFaces[face];
        double normal[3];
        Turn(sceneFace.normal, turn, normal);
        // The face's centre sits at (0, 0, -distance) + normal in the eye's
        // space: normal . -centre > 0 when distance x normal z > 1.
        if (kSceneDistance * normal[2] <= 1.0)
            continue;
        const int pair = face / 2;
        const double diffuse = Dot(normal, light) / lightLength;
        const double level = kSceneAmbientLevel + kSceneDiffuseLevel * (diffuse > 0.0 ? diffuse : 0.0);
        expected.level[pair] = level < 1.0 ? level : 1.0;

        double corners[4][2];
        double low[2] = {1e9, 1e9}, high[2] = {-1e9, -1e9};
        for (int i = 0; i < 4; ++i) {
            double eye[3];
            Turn(sceneFace.vertices[i], turn, eye);
            const double depth = kSceneDistance - eye[2];
            for (int axis = 0; axis < 2; ++axis) {
                const double window = (axis == 0 ? width : height) * 0.5 + scale[axis] * eye[axis] / depth;
                corners[i][axis] = window;
                low[axis] = window < low[axis] ? window : low[axis];
                high[axis] = window > high[axis] ? window : high[axis];
            }
        }
        for (int i = 0; i < 4; ++i) {
            const double dx = corners[(i + 1) % 4][0] - corners[i][0];
            const double dy = corners[(i + 1) % 4][1] - corners[i][1];
            expected.perimeter[pair] += std::sqrt(dx * dx + dy * dy);
        }

        // The pixel centres of the bounding box on the inner side of all
        // four edges, whichever way round the corners go.
        const int x0 = low[0] > 0.0 ? static_cast<int>(low[0]) : 0;
        const int y0 = low[1] > 0.0 ? static_cast<int>(low[1]) : 0;
        const int x1 = high[0] < width ? static_cast<int>(high[0]) + 1 : width;
        const int y1 = high[1] < height ? static_cast<int>(high[1]) + 1 : height;
        // Counter-clockwise or not: a centre exactly on an edge belongs to
        // the face on the edge's left or top side only (as OpenGL fills),
        // so that two faces never both count it.
        double area = 0.0;
        for (int i = 0; i < 4; ++i) {
            const double* a = corners[i];
            const double* b = corners[(i + 1) % 4];
            area += a[0] * b[1] - b[0] * a[1];
        }
        const double turnSign = area < 0.0 ? -1.0 : 1.0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                bool inside = true;
                for (int i = 0; i < 4 && inside; ++i) {
                    const double* a = corners[i];
                    const double* b = corners[(i + 1) % 4];
                    const double dx = (b[0] - a[0]) * turnSign, dy = (b[1] - a[1]) * turnSign;
                    const double cross = dx * (y + 0.5 - a[1]) - dy * (x + 0.5 - a[0]);
                    inside = cross > 0.0 || (cross == 0.0 && (dy < 0.0 || (dy == 0.0 && dx < 0.0)));
                }
                if (!inside)
                    continue;
                ++expected.count[pair];
                if (map != nullptr)
                    map[static_cast<long>(y) * width + x] = static_cast<unsigned char>(kPixelRed + pair);
            }
        }
    }
}
