#include "view/scene.h"

#ifdef _WIN32
#include "platform/windows_headers.h"
#else
#include <GL/gl.h>
#endif

#include "view/scene_geometry.h"

namespace {

const GLfloat kPairColours[3][4] = {
    {1.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 1.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 1.0f, 1.0f},
};

void DrawFace(const SceneFace& face)
{
    glBegin(GL_POLYGON);
    glNormal3d(face.normal[0], face.normal[1], face.normal[2]);
    for (const auto& vertex : face.vertices)
        glVertex3d(vertex[0], vertex[1], vertex[2]);
    glEnd();
}

}  // namespace

void DrawScene(double angleX, double angleY)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLightfv(GL_LIGHT0, GL_AMBIENT, kSceneLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kSceneLightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kSceneLightSpecular);

    // The light turns about the eye's vertical axis, three times as fast as
    // the cube turns about X and the other way round.
    glPushMatrix();
    glRotated(-3.0 * angleX, 0.0, 1.0, 0.0);
    glLightfv(GL_LIGHT0, GL_POSITION, kSceneLightPosition);
    glPopMatrix();

    glEnable(GL_LIGHT0);

    glPushMatrix();
    glTranslated(0.0, 0.0, -kSceneDistance);
    glRotated(angleX, 1.0, 0.0, 0.0);
    glRotated(angleY, 0.0, 1.0, 0.0);
    for (int pair = 0; pair < 3; ++pair) {
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, kPairColours[pair]);
        DrawFace(kSceneFaces[2 * pair]);
        DrawFace(kSceneFaces[2 * pair + 1]);
    }
    glPopMatrix();
}
