// Resource ids of the simulated camera driver's property page. Test code may use the control
// ids to find and press the page's button.
#pragma once

#define IDD_SIMCAM_PAGE 101

#define IDC_SENSOR_KIND 1001
#define IDC_SENSOR_PIXELS 1002
#define IDC_PRESS_BUTTON 1003
#define IDC_BUTTON_STATE 1004
