// The test scene's geometry and light, free of OpenGL: what the scene draws
// and what the render check works out the expected picture from.
#pragma once

// The scene's camera: gluPerspective's field of view, near and far planes,
// and the cube's distance from the eye.
constexpr double kSceneFieldOfView = 45.0;
constexpr double kSceneNear = 1.0;
constexpr double kSceneFar = 10.0;
constexpr double kSceneDistance = 8.0;

struct SceneFace {
    double normal[3];
    double vertices[4][3];
};

// Opposite faces share a colour: +X and -X red, +Y and -Y green, +Z and -Z
// blue; face 2 * pair and 2 * pair + 1 are pair's.
inline constexpr SceneFace kSceneFaces[6] = {
    {{1, 0, 0}, {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}},
    {{-1, 0, 0}, {{-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}}},
    {{0, 1, 0}, {{1, 1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, 1, -1}}},
    {{0, -1, 0}, {{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}}},
    {{0, 0, 1}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}},
    {{0, 0, -1}, {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}},
};

// The light: directional (w = 0), turned about the eye's vertical axis by
// -3 times angleX. A face's lit channel is its pair's colour times
// kSceneAmbientLevel + kSceneDiffuseLevel * max(0, N.L): the light model's
// default ambient (0.2) and the light's own (0.1), then its diffuse part.
constexpr float kSceneLightAmbient[4] = {0.1f, 0.1f, 0.1f, 0.1f};
constexpr float kSceneLightDiffuse[4] = {0.7f, 0.7f, 0.7f, 0.7f};
constexpr float kSceneLightSpecular[4] = {0.0f, 0.0f, 0.0f, 0.1f};
constexpr float kSceneLightPosition[4] = {5.0f, 5.0f, 5.0f, 0.0f};
constexpr double kSceneAmbientLevel = 0.3;
constexpr double kSceneDiffuseLevel = 0.7;
