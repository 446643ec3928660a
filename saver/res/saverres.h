// Resource ids of the screensaver, shared by the resource script and the code.
#ifndef SAVERRES_H
#define SAVERRES_H

#define IDI_SAVER 100
#define IDD_CONFIG 2003

// Dialog 2003. Color button IDC_BACKCOL0 + i stands for palette entry i.
#define IDC_BACKCOL0 1007
#define IDC_BACKCOL1 1008
#define IDC_BACKCOL2 1009
#define IDC_BACKCOL3 1010
#define IDC_BACKCOL4 1011
#define IDC_BACKCOL5 1012
#define IDC_BACKLOOP 1013
#define IDC_BACKGROUP 1014
#define IDC_TEXTPEN 1015
#define IDC_CHOOSEFONT 3
#define IDC_HOMEPAGE 23

// Bitmaps of the color buttons are named resources: this prefix and the entry's number.
#define BITMAP_NAME_PREFIX "IDB_COL"

#define IDS_PRODUCT 1
#define IDS_SAVEFAILED 30

// The product's home page, also the caption of its button.
#define HOME_PAGE_ADDRESS "http://www.example.invalid/velmora/"

#endif
