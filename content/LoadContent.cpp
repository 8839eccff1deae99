// Article number to content resource to decompressed buffer. Kept apart from the
// decoder so that the collection compiler links the decoder without the program state.
#include "../shell/AppState.h"
#include "Content.h"

BYTE* LoadContent(int number, int* status) {
    if (number < 1) return nullptr;
    WORD id = (WORD)(number + kContentIdBase);
    HRSRC resource = FindResourceW(gApp.instance, MAKEINTRESOURCE(id), RT_RCDATA);
    if (!resource) {
        if (status) *status = kStatusNoResource;
        return nullptr;
    }
    DWORD size = SizeofResource(gApp.instance, resource);
    const BYTE* bytes = size ? (const BYTE*)LoadResource(gApp.instance, resource) : nullptr;
    if (!bytes) {
        if (status) *status = kStatusLoadFailed;
        return nullptr;
    }
    // The payload behind the 6-byte outer header never reaches past the resource,
    // whatever its length field says; a resource too short for the field is unusable.
    int payloadLength = size < 2 ? 0 : bytes[0] << 8 | bytes[1];
    if (payloadLength > (int)size - 6) payloadLength = (int)size - 6;
    return UnpackContent(bytes + 6, payloadLength, 0, status);
}
