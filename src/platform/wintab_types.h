// The part of the published Wintab tablet interface that the panel and the development stand-in
// use, written from the documented layout: the ANSI logical-context record, the axis record, the
// information categories, the context options, the packet-field bits and the function types.
// A packet holds the fields named in the context's packet-data mask, in ascending bit order.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "config/service_protocol.h"

namespace wintab {

struct ContextTag;
using HCTX = ContextTag*;  // an opaque context handle
using WTPKT = uint32_t;    // packet-field mask
using FIX32 = uint32_t;    // 16.16 fixed point

// Information categories and indices (WTInfoA); index 0 asks for the whole record.
inline constexpr UINT WTI_INTERFACE = 1;
inline constexpr UINT WTI_STATUS = 2;
inline constexpr UINT WTI_DEFCONTEXT = 3;
inline constexpr UINT WTI_DEFSYSCTX = 4;
inline constexpr UINT WTI_DEVICES = 100;
inline constexpr UINT IFC_WINTABID = 1;
inline constexpr UINT IFC_SPECVERSION = 2;
inline constexpr UINT IFC_NDEVICES = 4;
inline constexpr UINT DVC_NAME = 1;
inline constexpr UINT DVC_X = 12;
inline constexpr UINT DVC_Y = 13;
inline constexpr UINT DVC_NPRESSURE = 15;

// Context options.
inline constexpr UINT CXO_SYSTEM = 0x0001;
inline constexpr UINT CXO_PEN = 0x0002;
inline constexpr UINT CXO_MESSAGES = 0x0004;

// Packet fields.
inline constexpr WTPKT PK_CONTEXT = 0x0001;
inline constexpr WTPKT PK_STATUS = 0x0002;
inline constexpr WTPKT PK_TIME = 0x0004;
inline constexpr WTPKT PK_CHANGED = 0x0008;
inline constexpr WTPKT PK_SERIAL_NUMBER = 0x0010;
inline constexpr WTPKT PK_CURSOR = 0x0020;
inline constexpr WTPKT PK_BUTTONS = 0x0040;
inline constexpr WTPKT PK_X = 0x0080;
inline constexpr WTPKT PK_Y = 0x0100;
inline constexpr WTPKT PK_Z = 0x0200;
inline constexpr WTPKT PK_NORMAL_PRESSURE = 0x0400;
inline constexpr WTPKT PK_TANGENT_PRESSURE = 0x0800;
inline constexpr WTPKT PK_ORIENTATION = 0x1000;
inline constexpr WTPKT PK_ROTATION = 0x2000;
// The fields of the panel's pressure context: buttons, x, y, normal pressure.
inline constexpr WTPKT kPressurePacketData = PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;

// Messages, as offsets from the context's message base.
inline constexpr UINT WT_DEFBASE = 0x7FF0;
inline constexpr UINT WT_PACKET_OFFSET = 0;
inline constexpr UINT WT_PACKET = WT_DEFBASE + WT_PACKET_OFFSET;
static_assert(WT_PACKET == scribo::WM_TABLET_PACKET,
              "the panel expects packets at the default base");

inline constexpr size_t LCNAMELEN = 40;

struct LOGCONTEXTA {
    char lcName[LCNAMELEN];
    UINT lcOptions;
    UINT lcStatus;
    UINT lcLocks;
    UINT lcMsgBase;
    UINT lcDevice;
    UINT lcPktRate;
    WTPKT lcPktData;
    WTPKT lcPktMode;
    WTPKT lcMoveMask;
    DWORD lcBtnDnMask;
    DWORD lcBtnUpMask;
    LONG lcInOrgX, lcInOrgY, lcInOrgZ;
    LONG lcInExtX, lcInExtY, lcInExtZ;
    LONG lcOutOrgX, lcOutOrgY, lcOutOrgZ;
    LONG lcOutExtX, lcOutExtY, lcOutExtZ;
    FIX32 lcSensX, lcSensY, lcSensZ;
    BOOL lcSysMode;
    int lcSysOrgX, lcSysOrgY;
    int lcSysExtX, lcSysExtY;
    FIX32 lcSysSensX, lcSysSensY;
};
static_assert(sizeof(LOGCONTEXTA) == 172, "LOGCONTEXTA layout");
static_assert(offsetof(LOGCONTEXTA, lcMsgBase) == 52, "LOGCONTEXTA layout");
static_assert(offsetof(LOGCONTEXTA, lcOutExtX) == 120, "LOGCONTEXTA layout");

struct AXIS {
    LONG axMin;
    LONG axMax;
    UINT axUnits;
    FIX32 axResolution;
};
static_assert(sizeof(AXIS) == 16, "AXIS layout");

// A packet of a context whose packet data is kPressurePacketData.
struct PressurePacket {
    DWORD buttons;
    LONG x;
    LONG y;
    UINT normalPressure;
};
static_assert(sizeof(PressurePacket) == 16, "packet layout");

// The functions the panel looks up by name.
using WTOpenAFn = HCTX(WINAPI*)(HWND, LOGCONTEXTA*, BOOL);
using WTInfoAFn = UINT(WINAPI*)(UINT, UINT, void*);
using WTGetAFn = BOOL(WINAPI*)(HCTX, LOGCONTEXTA*);
using WTSetAFn = BOOL(WINAPI*)(HCTX, LOGCONTEXTA*);
using WTPacketFn = BOOL(WINAPI*)(HCTX, UINT, void*);
using WTCloseFn = BOOL(WINAPI*)(HCTX);

}  // namespace wintab
