#include "imaging/toolkit/toolkit_codes.h"

#include <QImage>

#include <array>

namespace {

// The toolkit's message table, highest code first. A row covers the codes High down to Low,
// which share its text.
struct TCodeRow {
    int High;
    int Low;
    const char* Text;
};

constexpr TCodeRow CodeRows[] = {
    {104, 104, "Dialog exit and export requested."},
    {103, 103, "Dialog exit requested."},
    {102, 102, "Dialog Close button pressed."},
    {101, 101, "Dialog Cancel button pressed."},
    {100, 100, "Dialog OK button pressed."},
    {7, 7, "Function successful. Ignore this marker but copy all remaining markers."},
    {6, 6, "Function successful. Ignore this marker and all remaining markers "},
    {5, 5, "Function successful. Ignore this marker."},
    {4, 4, "Function successful. Retry doing the failed op."},
    {3, 3, "Function successful. Delete file before quiting."},
    {2, 2, "Function successful with an abort request."},
    {1, 1, "Function successful."},
    {0, 0, "Function not successful."},
    {-1, -1, "Not enough memory available."},
    {-2, -2, "Invalid bitmap handle."},
    {-3, -3, "Not enough memory available."},
    {-4, -4, "Error seeking to position."},
    {-5, -5, "Error writing file."},
    {-6, -6, "File not present = - abort."},
    {-7, -7, "Error reading file."},
    {-8, -8, "Invalid filename specified."},
    {-9, -9, "Invalid file format."},
    {-10, -10, "File not found."},
    {-11, -11, "Invalid width/height."},
    {-12, -12, "Image format recognized, but sub= -type not supported."},
    {-13, -13, "Invalid parameter passed."},
    {-14, -14, "Not able to open file."},
    {-15, -15, "Unknown compression format."},
    {-16, -16, "Feature not supported."},
    {-17, -17, "VGA card only supports 256 colors (8 bit)."},
    {-18, -18, "Printer error."},
    {-19, -19, "Data CRC check error."},
    {-21, -21, "Invalid QFactor specified."},
    {-22, -22, "TARGA not installed."},
    {-23, -23, "Invalid compression format."},
    {-24, -24, "X origin specified invalid."},
    {-25, -25, "Y origin specified invalid."},
    {-26, -26, "Invalid video mode."},
    {-27, -27, "Invalid bits/pixel."},
    {-28, -28, "Invalid window size."},
    {-29, -29, "Escape key pressed = - or user aborted operation."},
    {-30, -62, "Internal error = - call the toolkit vendor."},
    {-63, -63, "Fixed palette data not found."},
    {-64, -64, "Invalid fixed palette."},
    {-65, -65, "Invalid stamp data."},
    {-70, -70, "Fax decoding error: invalid code word."},
    {-71, -71, "Fax decoding error: line too long."},
    {-72, -72, "Fax decoding error: line too short."},
    {-73, -73, "Fax decoding error: missing end of line."},
    {-74, -74, "Fax decoding error: invalid mode code."},
    {-75, -75, "Fax decoding error: run past end of line."},
    {-76, -76, "Fax decoding error: too many errors."},
    {-77, -77, "Fax decoding error: unsupported encoding."},
    {-78, -78, "Invalid version number."},
    {-79, -79, "TWAIN source manager not found."},
    {-80, -80, "TWAIN source not found."},
    {-81, -81, "TWAIN source could not be opened."},
    {-82, -82, "TWAIN source is busy."},
    {-83, -83, "TWAIN capability not supported."},
    {-84, -84, "TWAIN transfer failed."},
    {-85, -85, "TWAIN transfer cancelled."},
    {-86, -86, "TWAIN sequence error."},
    {-87, -87, "TWAIN low memory."},
    {-88, -88, "TWAIN source closed."},
    {-89, -89, "Pan window already exists."},
    {-90, -90, "Pan window not created."},
    {-91, -91, "Pan window could not be created."},
    {-92, -92, "Invalid pan window size."},
    {-93, -93, "Invalid image count."},
    {-94, -94, "Image count exceeded."},
    {-100, -100, "Operation aborted."},
    {-101, -101, "FlashPix: invalid file."},
    {-102, -102, "FlashPix: file not open."},
    {-103, -103, "FlashPix: invalid resolution."},
    {-104, -104, "FlashPix: invalid view."},
    {-105, -105, "FlashPix: unsupported feature."},
    {-106, -106, "Read error in library."},
    {-107, -107, "Read error: unexpected end of file."},
    {-108, -108, "Write error in library."},
    {-109, -109, "Write error: disk full."},
    {-110, -110, "Memory allocation error in library."},
    {-111, -111, "Memory lock error in library."},
    {-112, -112, "Invalid image size."},
    {-113, -113, "Image too large."},
    {-114, -114, "Invalid tile size."},
    {-115, -115, "Invalid JPEG table."},
    {-116, -116, "JPEG table not found."},
    {-117, -117, "Invalid JPEG table index."},
    {-118, -118, "Tile not found."},
    {-119, -119, "Tile read error."},
    {-120, -120, "Tile write error."},
    {-121, -121, "File already open."},
    {-122, -122, "File not open."},
    {-123, -123, "File is read only."},
    {-124, -124, "File is write only."},
    {-125, -125, "File in use."},
    {-126, -126, "File is locked."},
    {-127, -127, "Invalid file state."},
    {-128, -128, "OLE input error."},
    {-129, -129, "OLE output error."},
    {-130, -130, "OLE storage not found."},
    {-131, -131, "OLE stream not found."},
    {-132, -132, "OLE storage could not be created."},
    {-133, -133, "OLE stream could not be created."},
    {-134, -134, "OLE error."},
    {-140, -140, "TIFF tag not found."},
    {-141, -141, "Invalid TIFF tag."},
    {-142, -142, "TIFF tag could not be written."},
    {-143, -143, "Invalid stamp."},
    {-144, -144, "Stamp not found."},
    {-145, -145, "Invalid image."},
    {-146, -146, "Image not found."},
    {-147, -147, "Capability not supported."},
    {-148, -148, "Invalid capability."},
    {-149, -149, "Annotation object not found."},
    {-150, -150, "Invalid annotation object."},
    {-151, -151, "Annotation objects could not be saved."},
    {-152, -152, "Annotation objects could not be loaded."},
    {-153, -153, "Common dialog could not be created."},
    {-154, -154, "Common dialog error."},
    {-155, -155, "Common dialog library not found."},
    {-160, -160, "ISIS: scanner driver not found."},
    {-161, -161, "ISIS: scanner not found."},
    {-162, -162, "ISIS: scanner could not be opened."},
    {-163, -163, "ISIS: scanner busy."},
    {-164, -164, "ISIS: paper jam."},
    {-165, -165, "ISIS: feeder empty."},
    {-166, -166, "ISIS: cover open."},
    {-167, -167, "ISIS: invalid setting."},
    {-168, -168, "ISIS: scan cancelled."},
    {-169, -169, "ISIS: scan failed."},
    {-170, -170, "ISIS: transfer failed."},
    {-171, -171, "ISIS: out of memory."},
    {-172, -172, "ISIS: invalid page size."},
    {-173, -173, "ISIS: invalid resolution."},
    {-174, -174, "ISIS: driver error."},
    {-250, -250, "Sound device not found."},
    {-251, -251, "Sound device busy."},
    {-252, -252, "Sound device error."},
    {-253, -253, "Video device not found."},
    {-254, -254, "Video device busy."},
    {-255, -255, "Video device error."},
    {-256, -256, "Invalid sound handle."},
    {-257, -257, "Invalid video handle."},
    {-258, -258, "Invalid device handle."},
    {-259, -259, "Device could not be opened."},
    {-260, -260, "Device could not be closed."},
    {-261, -261, "Device not ready."},
    {-270, -270, "Network connection failed."},
    {-271, -271, "Network connection lost."},
    {-272, -272, "Network connection refused."},
    {-273, -273, "Network host not found."},
    {-274, -274, "Network timeout."},
    {-275, -275, "Network send error."},
    {-276, -276, "Network receive error."},
    {-277, -277, "Network not available."},
    {-278, -278, "DirectShow not installed."},
    {-279, -279, "DirectShow filter not found."},
    {-280, -280, "DirectShow filter graph error."},
    {-281, -281, "DirectShow media type not supported."},
    {-282, -282, "DirectShow render error."},
    {-283, -283, "DirectShow stream error."},
    {-284, -284, "Invalid wave format."},
    {-285, -285, "Wave format not supported."},
    {-286, -286, "Wave file error."},
    {-287, -287, "Wave device error."},
    {-288, -288, "Video capture driver not found."},
    {-289, -289, "Video capture driver error."},
    {-290, -290, "Video capture device busy."},
    {-291, -291, "Video capture could not be started."},
    {-292, -292, "Video capture could not be stopped."},
    {-293, -293, "Video capture window error."},
    {-294, -294, "Video capture format not supported."},
    {-295, -295, "Video capture frame error."},
    {-296, -296, "Video capture overlay not supported."},
    {-297, -297, "Video capture preview not supported."},
    {-298, -298, "Video capture audio error."},
    {-299, -299, "Video capture file error."},
    {-300, -300, "Video capture compression error."},
    {-301, -301, "Video capture source dialog not supported."},
    {-302, -302, "Video capture display dialog not supported."},
    {-303, -303, "Video capture aborted."},
    {-309, -309, "Invalid page number."},
    {-310, -310, "Page not found."},
    {-311, -311, "Page could not be inserted."},
    {-312, -312, "Page could not be deleted."},
    {-313, -313, "Page could not be replaced."},
    {-314, -314, "Too many pages."},
    {-315, -315, "Undo not available."},
    {-316, -316, "Undo buffer full."},
    {-317, -317, "Redo not available."},
    {-318, -318, "Invalid undo level."},
    {-319, -319, "Hot key already registered."},
    {-320, -320, "Hot key could not be registered."},
    {-321, -321, "Invalid hot key."},
    {-322, -322, "Screen capture already active."},
    {-323, -323, "Screen capture not active."},
    {-324, -324, "Screen capture failed."},
    {-325, -325, "Invalid capture area."},
    {-326, -326, "Invalid capture window."},
    {-327, -327, "Capture cancelled."},
    {-328, -328, "Capture hook could not be installed."},
    {-329, -329, "Resource file could not be opened."},
    {-330, -330, "Not an executable file."},
    {-331, -331, "Resource not found."},
    {-332, -332, "Resource type not supported."},
    {-333, -333, "Resource could not be loaded."},
    {-334, -334, "Resource could not be locked."},
    {-335, -335, "Invalid resource index."},
    {-336, -336, "Icon resource error."},
    {-337, -337, "Cursor resource error."},
    {-338, -338, "Bitmap resource error."},
    {-339, -339, "Resource could not be updated."},
    {-340, -340, "Resource file is read only."},
    {-350, -350, "Directory not found."},
    {-351, -351, "Directory could not be read."},
    {-352, -352, "No files found."},
    {-353, -353, "Invalid directory filter."},
    {-354, -354, "Filter not installed."},
    {-355, -355, "Filter could not be loaded."},
    {-356, -356, "Filter version mismatch."},
    {-357, -357, "Filter entry point not found."},
    {-360, -360, "Invalid video encoder."},
    {-361, -361, "Video encoder not found."},
    {-362, -362, "Invalid frame rate."},
    {-363, -363, "Invalid bit rate."},
    {-364, -364, "Invalid key frame rate."},
    {-365, -365, "Invalid video quality."},
    {-366, -366, "Invalid video width."},
    {-367, -367, "Invalid video height."},
    {-368, -368, "Invalid video aspect ratio."},
    {-369, -369, "Invalid audio encoder."},
    {-370, -370, "Invalid audio sample rate."},
    {-371, -371, "Invalid audio channels."},
    {-372, -372, "Invalid audio bits per sample."},
    {-373, -373, "Invalid buffer size."},
    {-374, -374, "Invalid GOP size."},
    {-375, -375, "Invalid B-frame count."},
    {-376, -376, "Invalid video profile."},
    {-377, -377, "Invalid video level."},
    {-378, -378, "Video encoder could not be opened."},
    {-379, -379, "Video encoder error."},
    {-380, -380, "Video stream could not be written."},
    {-381, -381, "Video stream could not be closed."},
    {-400, -400, "Vector file format not supported."},
    {-401, -401, "Vector data not found."},
    {-402, -402, "Invalid vector data."},
    {-403, -403, "Vector rendering error."},
    {-404, -404, "Vector capability not licensed."},
    {-405, -405, "Document format not supported."},
    {-406, -406, "Document data not found."},
    {-407, -407, "Invalid document data."},
    {-408, -408, "Document rendering error."},
    {-409, -409, "Document capability not licensed."},
    {-410, -410, "Font not found."},
    {-411, -411, "Page layout error."},
    {-412, -412, "Undo capability not licensed."},
    {-413, -413, "Undo data corrupt."},
    {-414, -414, "Undo file could not be written."},
    {-415, -415, "Undo file could not be read."},
    {-416, -416, "Exif data not found."},
    {-417, -417, "Invalid Exif data."},
    {-418, -418, "Exif tag not found."},
    {-419, -419, "Invalid Exif tag."},
    {-420, -420, "Exif data could not be written."},
    {-421, -421, "Exif thumbnail not found."},
    {-422, -422, "Invalid Exif thumbnail."},
    {-423, -423, "Bar code not found."},
    {-424, -424, "Invalid bar code."},
    {-425, -425, "Bar code type not supported."},
    {-426, -426, "Bar code checksum error."},
    {-427, -427, "Bar code too long."},
    {-428, -428, "Bar code data invalid."},
    {-429, -429, "Bar code capability not licensed."},
    {-430, -430, "Bar code could not be written."},
    {-431, -431, "Bar code could not be read."},
    {-432, -432, "Bar code orientation error."},
    {-433, -433, "Bar code quiet zone error."},
    {-435, -435, "Internet library not found."},
    {-436, -436, "Internet session could not be opened."},
    {-437, -437, "Internet connection could not be opened."},
    {-438, -438, "Invalid URL."},
    {-439, -439, "URL not found."},
    {-440, -440, "Invalid server name."},
    {-441, -441, "Server not found."},
    {-442, -442, "Server not responding."},
    {-443, -443, "Login failed."},
    {-444, -444, "Invalid user name."},
    {-445, -445, "Invalid password."},
    {-446, -446, "Access denied."},
    {-447, -447, "Remote file not found."},
    {-448, -448, "Remote file could not be opened."},
    {-449, -449, "Remote file could not be read."},
    {-450, -450, "Remote file could not be written."},
    {-451, -451, "Remote file could not be deleted."},
    {-452, -452, "Remote file could not be renamed."},
    {-453, -453, "Remote directory not found."},
    {-454, -454, "Remote directory could not be created."},
    {-455, -455, "Remote directory could not be removed."},
    {-456, -456, "Remote directory could not be read."},
    {-457, -457, "Transfer aborted."},
    {-458, -458, "Transfer timeout."},
    {-459, -459, "Transfer incomplete."},
    {-460, -460, "Invalid transfer mode."},
    {-461, -461, "Proxy not found."},
    {-462, -462, "Proxy authentication required."},
    {-463, -463, "Invalid proxy settings."},
    {-464, -464, "Secure connection failed."},
    {-465, -465, "Invalid certificate."},
    {-466, -466, "Certificate expired."},
    {-467, -467, "Certificate not trusted."},
    {-468, -468, "Redirect error."},
    {-469, -469, "Too many redirects."},
    {-470, -470, "Invalid HTTP request."},
    {-471, -471, "Invalid HTTP response."},
    {-472, -472, "HTTP bad request."},
    {-473, -473, "HTTP unauthorized."},
    {-474, -474, "HTTP forbidden."},
    {-475, -475, "HTTP not found."},
    {-476, -476, "HTTP method not allowed."},
    {-477, -477, "HTTP request timeout."},
    {-478, -478, "HTTP server error."},
    {-479, -479, "HTTP service unavailable."},
    {-480, -480, "FTP command failed."},
    {-481, -481, "FTP passive mode not supported."},
    {-482, -482, "FTP data connection failed."},
    {-483, -483, "Invalid port number."},
    {-484, -484, "Socket could not be created."},
    {-485, -485, "Socket error."},
    {-486, -486, "Socket closed."},
    {-487, -487, "Host name could not be resolved."},
    {-488, -488, "Upload failed."},
    {-489, -489, "Download failed."},
    {-490, -490, "Download cancelled."},
    {-491, -491, "Invalid content type."},
    {-492, -492, "Invalid content length."},
    {-493, -493, "Cache error."},
    {-494, -494, "Cookie error."},
    {-495, -495, "Invalid internet handle."},
    {-496, -496, "Internet operation pending."},
    {-497, -497, "Internet operation failed."},
    {-500, -500, "Invalid vector object."},
    {-501, -501, "Vector object not found."},
    {-502, -502, "Vector object could not be created."},
    {-503, -503, "Vector object could not be deleted."},
    {-504, -504, "Invalid vector object type."},
    {-505, -505, "Invalid layer."},
    {-506, -506, "Layer not found."},
    {-507, -507, "Layer could not be created."},
    {-508, -508, "Layer could not be deleted."},
    {-509, -509, "Layer is locked."},
    {-510, -510, "Layer is hidden."},
    {-511, -511, "Invalid group."},
    {-512, -512, "Group not found."},
    {-513, -513, "Group could not be created."},
    {-514, -514, "Group could not be deleted."},
    {-515, -515, "Group is empty."},
    {-516, -516, "Clipboard could not be opened."},
    {-517, -517, "Clipboard is empty."},
    {-518, -518, "Clipboard format not supported."},
    {-519, -519, "Clipboard data could not be written."},
    {-530, -530, "JPEG 2000: invalid file."},
    {-531, -531, "JPEG 2000: invalid codestream."},
    {-532, -532, "JPEG 2000: invalid tile."},
    {-533, -533, "JPEG 2000: invalid component."},
    {-534, -534, "JPEG 2000: invalid resolution level."},
    {-535, -535, "JPEG 2000: invalid quality layer."},
    {-536, -536, "JPEG 2000: invalid progression order."},
    {-537, -537, "JPEG 2000: invalid compression ratio."},
    {-538, -538, "JPEG 2000: invalid code block size."},
    {-539, -539, "JPEG 2000: invalid precinct size."},
    {-540, -540, "JPEG 2000: decoding error."},
    {-541, -541, "JPEG 2000: encoding error."},
    {-542, -542, "JPEG 2000: feature not supported."},
    {-560, -560, "TWAIN: no source selected."},
    {-561, -561, "TWAIN: source list could not be read."},
    {-562, -562, "TWAIN: source could not be selected."},
    {-563, -563, "TWAIN: source could not be enabled."},
    {-564, -564, "TWAIN: source could not be disabled."},
    {-565, -565, "TWAIN: invalid source state."},
    {-566, -566, "TWAIN: capability could not be read."},
    {-567, -567, "TWAIN: capability could not be set."},
    {-568, -568, "TWAIN: invalid capability value."},
    {-569, -569, "TWAIN: image layout error."},
    {-570, -570, "TWAIN: pixel type not supported."},
    {-571, -571, "TWAIN: resolution not supported."},
    {-572, -572, "TWAIN: bit depth not supported."},
    {-573, -573, "TWAIN: compression not supported."},
    {-574, -574, "TWAIN: transfer mechanism not supported."},
    {-575, -575, "TWAIN: file transfer error."},
    {-576, -576, "TWAIN: memory transfer error."},
    {-577, -577, "TWAIN: native transfer error."},
    {-578, -578, "TWAIN: duplex not supported."},
    {-579, -579, "TWAIN: feeder not supported."},
    {-580, -580, "TWAIN: feeder not loaded."},
    {-581, -581, "TWAIN: paper jam."},
    {-582, -582, "TWAIN: double feed detected."},
    {-583, -583, "TWAIN: device offline."},
    {-584, -584, "TWAIN: device not responding."},
    {-585, -585, "TWAIN: device busy."},
    {-586, -586, "TWAIN: device error."},
    {-587, -587, "TWAIN: operation cancelled by the device."},
    {-600, -600, "Internal error."},
    {-601, -601, "Internal error: invalid state."},
    {-602, -602, "Internal error: invalid call sequence."},
    {-603, -603, "Paint capability not available."},
    {-630, -630, "Container could not be created."},
    {-631, -631, "Container not found."},
    {-632, -632, "Invalid container."},
    {-660, -660, "Tool bar could not be created."},
    {-661, -661, "Tool bar button not found."},
    {-662, -662, "Invalid tool bar."},
    {-690, -690, "Automation server not found."},
    {-691, -691, "Automation call failed."},
    {-700, -700, "MRC: segmentation failed."},
    {-701, -701, "MRC: invalid segment."},
    {-702, -702, "MRC: invalid segment type."},
    {-703, -703, "MRC: segment not found."},
    {-704, -704, "MRC: invalid mask."},
    {-705, -705, "MRC: invalid background."},
    {-706, -706, "MRC: invalid foreground."},
    {-721, -721, "PDF filter not available."},
    {-722, -722, "PDF file could not be read."},
    {-723, -723, "PDF file could not be written."},
    {-724, -724, "PostScript filter not available."},
    {-725, -725, "PostScript file could not be read."},
    {-726, -726, "Font could not be loaded."},
    {-727, -727, "Font not embedded."},
    {-728, -728, "Fax filter not available."},
    {-729, -729, "Compression filter not available."},
    {-740, -740, "Database not available."},
    {-741, -741, "Database could not be opened."},
    {-742, -742, "Database field not found."},
    {-743, -743, "Invalid database field type."},
    {-744, -744, "Database record could not be read."},
    {-745, -745, "Database record could not be written."},
    {-746, -746, "Invalid cache size."},
    {-747, -747, "Cache could not be created."},
    {-748, -748, "Cache full."},
    {-749, -749, "Cache file could not be written."},
    {-750, -750, "Invalid cache settings."},
    {-770, -770, "SVG: invalid file."},
    {-771, -771, "SVG: invalid element."},
    {-772, -772, "SVG: invalid attribute."},
    {-773, -773, "SVG: invalid path data."},
    {-774, -774, "SVG: invalid transform."},
    {-775, -775, "SVG: invalid colour."},
    {-776, -776, "SVG: invalid unit."},
    {-777, -777, "SVG: font not found."},
    {-778, -778, "SVG: image reference not found."},
    {-779, -779, "SVG: rendering error."},
    {-780, -780, "SVG: writing error."},
    {-781, -781, "SVG: feature not supported."},
    {-785, -785, "Colour profile not found."},
    {-786, -786, "Invalid colour profile."},
    {-787, -787, "Colour profile could not be loaded."},
    {-788, -788, "Colour profile could not be saved."},
    {-789, -789, "Colour profile version not supported."},
    {-790, -790, "Colour management not available."},
    {-791, -791, "Colour transform could not be created."},
    {-792, -792, "Colour transform failed."},
    {-793, -793, "Invalid rendering intent."},
    {-794, -794, "Colour space not supported."},
    {-795, -795, "Colour space conversion failed."},
    {-796, -796, "Invalid colour space."},
    {-797, -797, "Colour spaces do not match."},
    {-800, -800, "Invalid layer index."},
    {-801, -801, "The file has no layers."},
    {-802, -802, "Layer data could not be read."},
    {-803, -803, "Layer data could not be written."},
    {-804, -804, "Invalid layer information."},
    {-805, -805, "JPEG marker not found."},
    {-806, -806, "Invalid JPEG marker."},
    {-807, -807, "JPEG marker could not be written."},
    {-808, -808, "Exif block not found."},
    {-809, -809, "Exif block could not be written."},
    {-810, -810, "ICC profile not found."},
    {-811, -811, "Invalid ICC profile."},
    {-812, -812, "ICC profile could not be written."},
    {-813, -813, "Overlay not found."},
    {-814, -814, "Invalid overlay."},
    {-815, -815, "Overlay could not be loaded."},
    {-816, -816, "Overlay could not be saved."},
    {-900, -900, "Dialog library not found."},
    {-901, -901, "Dialog library version mismatch."},
    {-902, -902, "Dialog could not be created."},
    {-910, -910, "TIFF file could not be opened."},
    {-911, -911, "Invalid TIFF file."},
    {-912, -912, "TIFF directory not found."},
    {-913, -913, "TIFF compression not supported."},
    {-914, -914, "TIFF file is password protected."},
    {-915, -915, "Invalid password."},
    {-916, -916, "Password required."},
    {-930, -930, "Feature not available in this version."},
    {-1000, -1000, "Feature not licensed."},
    {-1050, -1058, "Internal error = - call the toolkit vendor."},
    {-1100, -1100, "Batch: invalid job."},
    {-1101, -1101, "Batch: job not found."},
    {-1102, -1102, "Batch: input folder not found."},
    {-1103, -1103, "Batch: output folder not found."},
    {-1104, -1104, "Batch: no input files."},
    {-1105, -1105, "Batch: operation failed."},
    {-1106, -1106, "Batch: job cancelled."},
    {-1107, -1107, "Batch: invalid script."},
    {-1200, -1200, "Recognition engine not found."},
    {-1201, -1201, "Recognition engine could not be started."},
    {-1202, -1202, "Recognition engine not licensed."},
    {-1203, -1203, "Recognition engine busy."},
    {-1204, -1204, "Recognition engine error."},
    {-1205, -1205, "Invalid recognition language."},
    {-1206, -1206, "Recognition language not installed."},
    {-1207, -1207, "Invalid recognition zone."},
    {-1208, -1208, "Recognition zone not found."},
    {-1209, -1209, "Too many recognition zones."},
    {-1210, -1210, "Invalid zone type."},
    {-1211, -1211, "Invalid character set."},
    {-1212, -1212, "Invalid recognition module."},
    {-1213, -1213, "Recognition module not installed."},
    {-1214, -1214, "Recognition timeout."},
    {-1215, -1215, "Recognition cancelled."},
    {-1216, -1216, "No text found."},
    {-1217, -1217, "Image resolution too low for recognition."},
    {-1218, -1218, "Image resolution too high for recognition."},
    {-1219, -1219, "Image too large for recognition."},
    {-1220, -1220, "Invalid image for recognition."},
    {-1221, -1221, "Page layout analysis failed."},
    {-1222, -1222, "Deskew failed."},
    {-1223, -1223, "Orientation detection failed."},
    {-1224, -1224, "Invalid dictionary."},
    {-1225, -1225, "Dictionary not found."},
    {-1226, -1226, "Dictionary could not be loaded."},
    {-1227, -1227, "Invalid training file."},
    {-1228, -1228, "Training file not found."},
    {-1229, -1229, "Training file could not be loaded."},
    {-1230, -1299, "Recognition engine internal error."},
    {-1300, -1300, "Document output engine not found."},
    {-1301, -1301, "Document output engine could not be started."},
    {-1302, -1302, "Document output format not supported."},
    {-1303, -1303, "Document could not be created."},
    {-1304, -1304, "Document could not be saved."},
    {-1305, -1305, "Invalid document output options."},
    {-1306, -1330, "Document output engine error."},
    {-1350, -1350, "Invalid variant type."},
    {-1351, -1351, "Variant conversion failed."},
    {-1352, -1352, "Invalid variant array."},
    {-1360, -1360, "Signed image data not supported."},
};

constexpr int LowestCode = -1360;
constexpr int HighestCode = 104;

// A dense table over every code from LowestCode to HighestCode, with no text in the gaps.
const std::array<const char*, HighestCode - LowestCode + 1>& CodeTable()
{
    static const auto table = [] {
        std::array<const char*, HighestCode - LowestCode + 1> t{};
        for (const TCodeRow& row : CodeRows)
            for (int code = row.Low; code <= row.High; ++code)
                t[size_t(code - LowestCode)] = row.Text;
        return t;
    }();
    return table;
}

} // namespace

bool IsToolkitCode(int code)
{
    return code >= LowestCode && code <= HighestCode && CodeTable()[size_t(code - LowestCode)] != nullptr;
}

void ToolkitErrorText(int code, QString& text)
{
    if (IsToolkitCode(code))
        text = QString::fromLatin1(CodeTable()[size_t(code - LowestCode)]);
    else
        text = QStringLiteral("Undefined Error: ") + QString::number(code);
}

QString ToolkitErrorText(int code)
{
    QString text;
    ToolkitErrorText(code, text);
    return text;
}

bool IsBitmapAllocated(const TKBitmap* bitmap)
{
    return bitmap && (bitmap->Flags & TKBF_Allocated) != 0;
}

bool IsViewTransposed(const TKBitmap& bitmap)
{
    return bitmap.ViewPerspective >= 5 && bitmap.ViewPerspective <= 8;
}

int BitmapViewWidth(const TKBitmap& bitmap)
{
    return IsViewTransposed(bitmap) ? bitmap.Height : bitmap.Width;
}

int BitmapViewHeight(const TKBitmap& bitmap)
{
    return IsViewTransposed(bitmap) ? bitmap.Width : bitmap.Height;
}

uint32_t BitmapColour(const TKBitmap& bitmap, int x, int y)
{
    const uint32_t v = BitmapPixel(bitmap, x, y);
    if (bitmap.BitsPerPixel <= 8) {
        const uint32_t c = v < bitmap.Palette.size() ? bitmap.Palette[v] : 0;
        return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }
    return bitmap.BitsPerPixel == 24 ? 0xFF000000u | v : v;
}

bool HasBitmapPixels(const TKBitmap* bitmap)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels || bitmap->Width <= 0 || bitmap->Height <= 0)
        return false;
    const int bits = bitmap->BitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;
    if (bits <= 8 && bitmap->Palette.size() < (size_t(1) << bits))
        return false;
    const int64_t rowBytes = (int64_t(bitmap->Width) * bits + 7) / 8;
    return bitmap->RowBytes >= rowBytes &&
           uint64_t(bitmap->RowBytes) * uint64_t(bitmap->Height) <= bitmap->Pixels->size();
}

QImage BitmapImage(const TKBitmap& bitmap)
{
    if (!HasBitmapPixels(&bitmap))
        return QImage();
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < bitmap.Height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width; ++x)
            out[x] = BitmapColour(bitmap, x, y);
    }
    return image;
}

uint32_t NearestPaletteEntry(const std::vector<uint32_t>& palette, uint32_t colour)
{
    uint32_t best = 0;
    int bestDistance = INT32_MAX;
    for (size_t i = 0; i < palette.size() && bestDistance > 0; ++i) {
        const uint32_t p = palette[i];
        const int dr = int(colour >> 16 & 0xFF) - int(p & 0xFF), dg = int(colour >> 8 & 0xFF) - int(p >> 8 & 0xFF),
                  db = int(colour & 0xFF) - int(p >> 16 & 0xFF);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = uint32_t(i);
        }
    }
    return best;
}

uint32_t BitmapPixel(const TKBitmap& bitmap, int x, int y)
{
    const uint8_t* row = bitmap.Row(y);
    switch (bitmap.BitsPerPixel) {
    case 1: return uint32_t(row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return uint32_t(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8: return row[x];
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    default: {
        const uint8_t* p = row + size_t(x) * 4;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    }
}

void SetBitmapPixel(TKBitmap& bitmap, int x, int y, uint32_t value)
{
    uint8_t* row = bitmap.Row(y);
    switch (bitmap.BitsPerPixel) {
    case 1: {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = uint8_t((row[x >> 3] & ~bit) | ((value & 1) ? bit : 0));
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0xF << shift)) | (value & 0xF) << shift);
        break;
    }
    case 8: row[x] = uint8_t(value); break;
    case 24: {
        uint8_t* p = row + size_t(x) * 3;
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
        break;
    }
    default: {
        uint8_t* p = row + size_t(x) * 4;
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
        p[3] = uint8_t(value >> 24);
        break;
    }
    }
}
