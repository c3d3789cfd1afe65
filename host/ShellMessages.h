#pragma once
// The shell's event vocabulary: the Windows message numbers, so that the rules in host/ serve the
// Win32 build unchanged and the X11 loop translates its events into the same numbers.
#include "render/RenderThread.h"

namespace shell {

constexpr unsigned WmCreate = 1;
constexpr unsigned WmDestroy = 2;
constexpr unsigned WmSetText = 12;
constexpr unsigned WmPaint = 15;
constexpr unsigned WmClose = 16;
constexpr unsigned WmShowWindow = 24;
constexpr unsigned WmActivateApp = 28;
constexpr unsigned WmSetCursor = 32;
constexpr unsigned WmPower = 72;
constexpr unsigned WmHelp = 83;
constexpr unsigned WmContextMenu = 123;
constexpr unsigned WmKeyDown = 256;
constexpr unsigned WmSysKeyDown = 260;
constexpr unsigned WmSysCommand = 274;
constexpr unsigned WmTimer = 275;
constexpr unsigned WmMouseMove = 512;
constexpr unsigned WmLButtonDown = 513;
constexpr unsigned WmRButtonDown = 516;
constexpr unsigned WmMButtonDown = 519;
constexpr unsigned WmPowerBroadcast = 536;
constexpr unsigned WmUser = RenderStartFailedMessage;  // the first user message
constexpr unsigned WmApp = 32768;  // the shell's password request

// WM_POWER: critical resume.
constexpr unsigned PowerCriticalResume = 3;

// WM_POWERBROADCAST codes.
constexpr unsigned PbtQuerySuspend = 0;
constexpr unsigned PbtSuspend = 4;
constexpr unsigned PbtResumeCritical = 6;
constexpr unsigned PbtResumeSuspend = 7;
constexpr unsigned PbtResumeStandby = 8;
constexpr unsigned PbtPowerStatusChange = 10;
constexpr unsigned PbtResumeAutomatic = 18;
// Bit 0 of a resume event's long parameter: the resume follows a failed suspend.
constexpr long PbtResumeFromFailure = 1;

// WM_SYSCOMMAND word parameters.
constexpr unsigned ScNextWindow = 0xF040;
constexpr unsigned ScPrevWindow = 0xF050;
constexpr unsigned ScScreenSave = 0xF140;
constexpr unsigned ScMonitorPower = 0xF170;

// AC line status values.
constexpr unsigned char AcOffLine = 0;
constexpr unsigned char AcOnLine = 1;
constexpr unsigned char AcUnknown = 255;

}  // namespace shell
