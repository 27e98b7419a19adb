#include "report/alarmnames.h"

#include <array>

namespace report {

const AlarmName &alarmName(int bit)
{
    static const std::array<AlarmName, alarmBitCount> names{{
        {u"Нет\n+12В", u"Нет питания +12В", "supply_12v"},
        {u"Авар.\nдверь", u"Авария двери", "door"},
        {u"Авар.\nвент.", u"Авария вентиляции", "ventilation"},
        {u"Авар.\nК-45°", u"Авария контакта -45°", "contact_m45"},
        {u"Авар.\nК 0°", u"Авария контакта 0°", "contact_0"},
        {u"Авар.\nК+45°", u"Авария контакта +45°", "contact_p45"},
        {u"Авар.\nнагр.", u"Авария нагревателя", "heater"},
        {u"Авар.\nохл.", u"Авария охладителя", "cooler"},
        {u"Авар.\nувл.", u"Авария увлажнителя", "humidifier"},
        {u"Нет\n~220В", u"Нет сети ~220В", "mains_220v"},
        {u"Авар.\nдатчик", u"Авария датчика", "sensor"},
    }};
    return names.at(size_t(bit));
}

}  // namespace report
