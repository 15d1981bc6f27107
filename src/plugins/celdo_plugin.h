/*
 * The Celdo plug-in interface: the records and exports shared by the editor
 * and the filter libraries it loads.  Plain C, usable from C and C++.
 *
 * Integer fields keep their widths and order; pointers and window handles are
 * pointer-sized, so on a 32-bit target every offset is the interface's
 * published one (checked below) and on a 64-bit target the records widen.
 * Blocks handed from a plug-in to the editor are allocated with malloc and
 * freed by the editor with free.  Strings crossing the interface are UTF-8.
 * Every export uses the platform's C calling convention (caller cleans).
 */
#ifndef CELDO_PLUGIN_H
#define CELDO_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define CELDO_PLUGIN_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define CELDO_PLUGIN_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* ---- kind 1: the editor's own interface ------------------------------- */

#define CELDO_PLUGIN_INTERFACE_VERSION 0x0101 /* PluginInfo.version */
#define CELDO_FILTER_REQUEST_VERSION 0x0100   /* FilterRequest.version */
#define CELDO_BITMAP_HEADER_SIZE 40
#define CELDO_BITMAP_INFO_SIZE 1064 /* header and 256 colour-table entries */

/* Export names. */
#define CELDO_EXPORT_PLUGIN_INFO "CeldoPluginInfo"
#define CELDO_EXPORT_QUERY_FUNCTION_COUNT "QueryFunctionCount"
#define CELDO_EXPORT_QUERY_FUNCTION "QueryFunction"

/* FilterFunctionInfo.flags: 8 offered, 4 may return a new image, 1 can work
 * on a region.  Capability words are tested for the value 8 only; in the
 * delivered library 4 and 1 add acceptance of 4-bit and 1-bit pictures. */
#define CELDO_FUNCTION_OFFERED 8u
#define CELDO_FUNCTION_NEW_IMAGE 4u
#define CELDO_FUNCTION_REGION 1u
#define CELDO_CAPABILITY 8u
#define CELDO_CAPABILITY_4BIT 4u
#define CELDO_CAPABILITY_1BIT 1u

/* FilterRequest.flags */
#define CELDO_REQUEST_REGION 1u

/* Result bits of a filter function and of a filter run; 0 = cancelled or
 * failed, nothing changed. */
#define CELDO_RESULT_RAN 8u
#define CELDO_RESULT_NEW_IMAGE 4u
#define CELDO_RESULT_PALETTE_CHANGED 2u
#define CELDO_RESULT_REGION 1u

/* Filled by CeldoPluginInfo. */
typedef struct PluginInfo {
    uint16_t version;       /* CELDO_PLUGIN_INTERFACE_VERSION */
    uint16_t functionCount; /* filter functions in the library */
    char description[128];  /* zero-terminated */
} PluginInfo;

/* One filter function, copied out by QueryFunction. */
typedef struct FilterFunctionInfo {
    uint32_t flags;
    /* [0] and [3] are not examined; [1] whole image, image editing; [2]
     * whole image, also in mask editing; [4] region, image editing; [5]
     * region, also in mask editing. */
    uint32_t capability[6];
    char exportName[80];
    char menuName[80];
    char description[80];
    char reserved[80];
} FilterFunctionInfo;

/* The picture a kind 1 filter works on; zero-filled before use. */
typedef struct FilterRequest {
    int32_t version;    /* CELDO_FILTER_REQUEST_VERSION */
    uint32_t flags;     /* CELDO_REQUEST_REGION */
    int32_t headerSize; /* 40 */
    void* bitmapInfo;   /* 40-byte bitmap header + 256 colour-table entries */
    void* bits;         /* pixel rows, bottom row first, padded to 4 bytes */
    void* maskInfo;     /* 8-bit mask plane, or null */
    void* maskBits;
    void* newBitmapInfo; /* out: malloc block of 1064 bytes */
    void* newBits;       /* out: malloc block of pixel rows */
    void* newMaskInfo;   /* out: or null */
    void* newMaskBits;   /* out: or null */
    void* window;        /* parent for the filter's dialogs */
    int32_t x;           /* region, when CELDO_REQUEST_REGION is set */
    int32_t y;           /* counted from the top row */
    int32_t width;
    int32_t height;
    int32_t paintKind; /* 0 plain colour, 1 tone pattern, 2 tile */
    int32_t drawColor;
    int32_t leftColor;
    int32_t rightColor;
    int32_t toneIndex;
    int32_t borderColor;
    int32_t reserved1; /* -1 */
    int32_t reserved2; /* 0 */
} FilterRequest;

typedef void (*CeldoPluginInfoFunction)(PluginInfo* info);
typedef int32_t (*QueryFunctionCountFunction)(int32_t flags);
typedef uint32_t (*QueryFunctionFunction)(int32_t index, FilterFunctionInfo* info);
typedef uint32_t (*FilterFunction)(FilterRequest* request);

/* ---- kind 2: the outside filter interface ----------------------------- */

#define CELDO_EXPORT_DP_GET_INFO "_DPGetInfo"
#define CELDO_EXPORT_DP_FILTER "_DPFilter"
#define CELDO_EXPORT_DP_FILTER_SETUP "_DPFilterSetup"
#define CELDO_DP_REGION 0x10u

/* Only `size` (set by the editor) and `name` are examined. */
typedef struct DPInfo {
    uint32_t size;
    uint32_t reserved0;
    const char* name;
    uint32_t reserved[5];
} DPInfo;

/* Source and destination are the same picture: the filter works in place. */
typedef struct DPFilterRecord {
    uint32_t size;
    void* sourceInfo;
    void* sourceBits;
    void* reserved0;
    void* destinationInfo;
    void* destinationBits;
    uint32_t flags; /* CELDO_DP_REGION */
    void* window;
    int32_t leftColor;
    int32_t rightColor;
    int32_t reserved1;
    int32_t borderColor;
    int32_t toneIndex; /* when the paint kind is 2, else 0 */
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} DPFilterRecord;

typedef int32_t (*DPGetInfoFunction)(DPInfo* info);
typedef int32_t (*DPFilterSetupFunction)(void* window);
typedef int32_t (*DPFilterFunction)(DPFilterRecord* record);

/* ---- layout checks ---------------------------------------------------- */

CELDO_PLUGIN_STATIC_ASSERT(sizeof(PluginInfo) == 132, "PluginInfo is 132 bytes");
CELDO_PLUGIN_STATIC_ASSERT(sizeof(FilterFunctionInfo) == 348, "FilterFunctionInfo is 348 bytes");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterFunctionInfo, exportName) == 28, "export name at 28");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterFunctionInfo, menuName) == 108, "menu name at 108");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterFunctionInfo, description) == 188, "description at 188");

#if UINTPTR_MAX == 0xFFFFFFFFu
CELDO_PLUGIN_STATIC_ASSERT(sizeof(FilterRequest) == 96, "FilterRequest is 96 bytes");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, bitmapInfo) == 12, "bitmap info at 12");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, maskInfo) == 20, "mask info at 20");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, newBitmapInfo) == 28, "result at 28");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, newMaskInfo) == 36, "result mask at 36");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, window) == 44, "window at 44");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, x) == 48, "region at 48");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, paintKind) == 64, "paint kind at 64");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, borderColor) == 84, "border colour at 84");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(FilterRequest, reserved1) == 88, "-1 at 88");
CELDO_PLUGIN_STATIC_ASSERT(sizeof(DPInfo) == 32, "DPInfo is 32 bytes");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPInfo, name) == 8, "name at 8");
CELDO_PLUGIN_STATIC_ASSERT(sizeof(DPFilterRecord) == 68, "DPFilterRecord is 68 bytes");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPFilterRecord, destinationInfo) == 16, "destination at 16");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPFilterRecord, flags) == 24, "flags at 24");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPFilterRecord, window) == 28, "window at 28");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPFilterRecord, toneIndex) == 48, "tone at 48");
CELDO_PLUGIN_STATIC_ASSERT(offsetof(DPFilterRecord, height) == 64, "height at 64");
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* CELDO_PLUGIN_H */
