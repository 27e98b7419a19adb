#pragma once

class Collector;
class SimCard;

// Gives the demonstration collector its card: the day statistics files of the
// last days for its cabinets and a task file "RULE.BIN". The files are made
// when a program first touches the card.
SimCard &installDemoCard(Collector &collector);
