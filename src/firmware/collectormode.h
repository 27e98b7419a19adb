#pragma once

class Link;

// The collector's two modes for service exchanges. Bridge mode passes bus
// traffic between the port and the cabinet bus; automatic mode, to which
// every exchange returns it, is its normal work. Both are addressed to the
// collector itself by its bus word; no reply is awaited.
void sendBridgeMode(Link &link);   // "Мост"
void sendAutoMode(Link &link);     // "Авто"
