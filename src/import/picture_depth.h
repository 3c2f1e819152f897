#pragma once

// The colour depth a picture file holds, named as the import window names it: read from the
// file's own header, since a decoder widens most pictures to 32 bits in memory.

#include <QString>

// "24 Bit (16.8M)", "8 Bit (256 Color)", ...: from the header of a BMP, JPEG, GIF, PNG or icon
// file, from the decoded picture otherwise; empty when the file cannot be read or its depth has
// no name.
QString PictureFileDepthText(const QString& path);
