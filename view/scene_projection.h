// The picture the test scene should give, worked out from its geometry
// without OpenGL: the cube's corners through the view's perspective,
// translation and rotations into the viewport, the faces that face the eye,
// and the pixel centres inside each.
#pragma once

// A pixel's class, in an expected picture and in a read one.
enum PixelClass : unsigned char { kPixelBackground, kPixelRed, kPixelGreen, kPixelBlue, kPixelOther };

struct ExpectedPicture {
    // Per face pair (red, green, blue): the pixel centres inside its visible
    // face, that face's projected perimeter in pixels, and its lit level
    // (0 to 1; 0 when no face of the pair faces the eye).
    long count[3];
    double perimeter[3];
    double level[3];
};

// The scene at angleX and angleY (degrees, as DrawScene takes them) in a
// viewport of width by height pixels with the aspect width / height. When
// map is not null it receives width * height classes, row 0 at the bottom
// as glReadPixels gives them.
void ProjectScene(double angleX, double angleY, int width, int height, unsigned char* map,
                  ExpectedPicture& expected);
