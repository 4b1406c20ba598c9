#pragma once

class TMainForm;

// Binds the card encoder to this installation's system password, once the
// encoder port is open: reads the device type (EncoderType), then either hands
// the stored password to the encoder or, with none stored, takes the
// encoder's and keeps it in the settings and Keldrix.ini. A foreign encoder
// ends the program once the main window has been created.
void EncoderRegister(TMainForm *form);
