#pragma once
#include <QtGlobal>

// The collector's command codes, as it knows them.
namespace collectorcmd {

constexpr quint8 autoMode = 1;
constexpr quint8 bridgeMode = 2;
constexpr quint8 search = 3;
constexpr quint8 poll = 4;
constexpr quint8 getTime = 7;
constexpr quint8 reset = 8;
constexpr quint8 gsmText = 9;
constexpr quint8 openCurrent = 10;
constexpr quint8 createFile = 11;
constexpr quint8 openFile = 13;
constexpr quint8 closeFile = 14;
constexpr quint8 writeBlock = 15;
constexpr quint8 readFile = 16;
constexpr quint8 seek = 17;
constexpr quint8 listDir = 19;
constexpr quint8 deleteFile = 20;
constexpr quint8 card = 21;
constexpr quint8 tempControlOff = 22;
constexpr quint8 tempControlOn = 23;

}  // namespace collectorcmd
