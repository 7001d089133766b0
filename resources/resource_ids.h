#ifndef FENDRIX_RESOURCE_IDS_H
#define FENDRIX_RESOURCE_IDS_H

// Numeric ids of the resources in fendrix.rc, shared by the resource script
// and the C++ that loads them. Plain #defines only: windres reads this too.

// The program icon (window, taskbar, Explorer), sizes 16 to 48.
#define IDI_FENDRIX 1

// The "Admin" badge: a progressive JPEG kept as RCDATA.
#define IDR_BADGE 101

#endif  // FENDRIX_RESOURCE_IDS_H
