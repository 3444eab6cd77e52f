#include "link/line_settings.h"

namespace mirvane {

void configure_port(SerialPort& port, std::int16_t number) {
    port.set_comm_port(number);
    port.set_settings(kLineSettings);
    port.set_rthreshold(kReceiveThreshold);
    port.set_sthreshold(kSendThreshold);
    port.set_input_mode(kInputModeBinary);
}

}  // namespace mirvane
