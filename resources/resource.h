// Identifiers of the program's resources and of the main dialog's controls.
#pragma once

#define IDD_TOLVANE_DIALOG_KO 102  // main dialog, Korean
#define IDR_MAINFRAME 128          // application icon
#define IDD_ABOUTBOX 129
#define IDD_TOLVANE_DIALOG_EN 130  // main dialog, English

#define IDC_SOURCE_PATH 1001
#define IDC_SOURCE_INFO 1002
#define IDC_SOURCE_BROWSE 1003
#define IDC_START 1004
#define IDC_LOG_PLACEHOLDER 1005
#define IDC_DEST_PATH 1006
#define IDC_DEST_OPEN 1007
#define IDC_DEFAULT 1008
#define IDC_COMMAND_LINE 1009
#define IDC_STOP 1010
#define IDC_DEST_BROWSE 1011
#define IDC_AUDIO_SAMPLERATE 1012
#define IDC_AUDIO_BITRATE 1013
#define IDC_VIDEO_BITRATE 1014
#define IDC_AUDIO_CHANNEL 1015
#define IDC_CHANGE_VIDEO_SIZE 1016
#define IDC_VIDEO_SIZE 1017
#define IDC_NO_AUDIO 1018
#define IDC_ABOUT 1019
#define IDC_BITRATE_FILENAME 1020
#define IDC_VIDEO_GOP 1021
#define IDC_EXTRA_ARGS 1022
#define IDC_ENCRYPTION 1023
#define IDC_CHANGE_VIDEO_FPS 1024
#define IDC_VIDEO_QSCALE 1025
#define IDC_2PASS_ENCODING 1026
#define IDC_VIDEO_FPS 1027
#define IDC_CODEC_MPEG 1028
#define IDC_CODEC_VP8 1029
#define IDC_VIDEO_VBR 1030

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
