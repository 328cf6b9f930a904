/* Every control and resource ID of the plug-in, shared by the resource scripts and the C++ code.
   Only #defines, so that the resource compiler can include it. */
#ifndef VEXLORIN_RESOURCE_IDS_H
#define VEXLORIN_RESOURCE_IDS_H

/* Faces of the palette-entry buttons of the options panel (16 x 16). */
#define IDB_LOCK_DISABLED 130      /* padlock, greyed: lock button disabled */
#define IDB_LOCK_NORMAL 131        /* padlock: lock button at rest */
#define IDB_LOCK_HOVER 132         /* padlock, lit: lock button under the mouse */
#define IDB_TRANSPARENT_LIGHT 133  /* pale checkerboard: transparency button hovered or disabled */
#define IDB_TRANSPARENT_NORMAL 134 /* checkerboard: transparency button at rest */

/* Header bar: the strip behind it (40 high) and its three bitmap buttons. */
#define IDB_HEADER_RIGHT 139  /* right part, 429 x 40, with the maker's web address */
#define IDB_HEADER_LEFT 140   /* left part, 597 x 40, with the logo and the product name */
#define IDB_HEADER_MIDDLE 141 /* middle tile, 101 x 40, repeats without a seam */
#define IDB_ABOUT_NORMAL 142  /* About caption, 181 x 19 */
#define IDB_SITE_PRESSED 143  /* web-site button, 150 x 20 */
#define IDB_SITE_HOVER 144
#define IDB_SITE_NORMAL 145
#define IDB_ABOUT_PRESSED 146
#define IDB_ABOUT_HOVER 147
#define IDB_ADVERT_NORMAL 148 /* logo button, 35 x 34; also its pressed look */
#define IDB_ADVERT_HOVER 149

/* Skins of the "MacStyleBtn" push button, 18 x 24 each: left cap, middle (stretched), right cap. */
#define IDB_BUTTON_NORMAL_LEFT 155
#define IDB_BUTTON_HOVER_LEFT 156
#define IDB_BUTTON_DEFAULT_LEFT 157
#define IDB_BUTTON_PRESSED_LEFT 158
#define IDB_BUTTON_NORMAL_MIDDLE 159
#define IDB_BUTTON_HOVER_MIDDLE 160
#define IDB_BUTTON_DEFAULT_MIDDLE 161
#define IDB_BUTTON_PRESSED_MIDDLE 162
#define IDB_BUTTON_NORMAL_RIGHT 163
#define IDB_BUTTON_HOVER_RIGHT 164
#define IDB_BUTTON_DEFAULT_RIGHT 165
#define IDB_BUTTON_PRESSED_RIGHT 166

/* About box: the product picture at its left, 144 x 216. */
#define IDB_PRODUCT_PICTURE 170

/* Every bitmap above is also drawn at 150 % and 200 % for high-DPI screens; its ID there is its 100 % ID plus
   one of these offsets (widgets/artwork_scale.h picks the scale for a DPI). */
#define IDB_SCALE_150_OFFSET 1000
#define IDB_SCALE_200_OFFSET 2000

/* Dialog templates. */
#define IDD_PREVIEW_DIALOG 102
#define IDD_OPTIONS_PANEL 129
#define IDD_HEADER_BAR 138
#define IDD_ABOUT_BOX 169

/* Preview dialog and header bar. */
#define IDC_PREVIEW 1005
#define IDC_HEADER_ABOUT 1005
#define IDC_HEADER_SITE 1006
#define IDC_HEADER_ADVERT 1007

/* The PSNR readout, a child of the status bar (which has none other with an ID). */
#define IDC_PSNR_READOUT 1030

/* Above the preview: how large it shows the image, and whether the original stands beside the result. */
#define IDC_ZOOM 1040       /* drop-down list: Fit, 12.5% .. 800% */
#define IDC_ZOOM_LABEL 1041 /* "Zoom", the label of 1040 */
#define IDC_VIEW 1042       /* drop-down list: 1-Up, 2-Up */
#define IDC_VIEW_LABEL 1043 /* "View", the label of 1042 */

/* Options panel (template IDD_OPTIONS_PANEL); Save and Cancel are IDOK and IDCANCEL. */
#define IDC_PANEL_PALETTE_GROUP 1001 /* group box "Palette", frame of the palette view */
#define IDC_PANEL_GRAYSCALE 1002     /* radio: PNG type Grayscale */
#define IDC_PANEL_PALETTE 1003       /* radio: PNG type Palette */
#define IDC_PANEL_RGB 1004           /* radio: PNG type RGB */
#define IDC_PANEL_ALPHA_CHANNEL 1005 /* check box "Alpha Channel" */
#define IDC_PANEL_COLORS 1006        /* drop-down list of palette colour counts */
#define IDC_PANEL_COLORS_LABEL 1007
#define IDC_PANEL_FILL_COLOR 1008 /* colour swatch of the fill colour */
#define IDC_PANEL_FILL_COLOR_LABEL 1009
#define IDC_PANEL_DITHER 1010 /* drop-down list of dither methods */
#define IDC_PANEL_DITHER_LABEL 1012
#define IDC_PANEL_KEY_COLOR 1013           /* check box "Transparency as Key Color" */
#define IDC_PANEL_LOCK 1017                /* bitmap push-like check box: lock of the selected entry */
#define IDC_PANEL_TRANSPARENT 1018         /* bitmap push-like check box: transparency of the selected entry */
#define IDC_PANEL_TRANSPARENCY_DITHER 1019 /* check box "Transparency Dither" */
#define IDC_PANEL_ENTRY_BUTTONS_GROUP 1020 /* group box framing 1017 and 1018 */
#define IDC_PANEL_REFINE_PALETTE 1021      /* check box "Refine Palette" */
#define IDC_PANEL_COMPRESSION 1022         /* drop-down list of compressions: Standard, Smallest */
#define IDC_PANEL_COMPRESSION_LABEL 1023   /* "Compression", the label of 1022 */
#define IDC_PANEL_QUALITY 1024             /* drop-down list of palette qualities: Off, 100 ... 10 */
#define IDC_PANEL_QUALITY_LABEL 1025       /* "Quality", the label of 1024 */
#define IDC_PANEL_METADATA 1026            /* check box "Metadata": the document's resolution and XMP in the file */
#define IDC_PANEL_CONVERT_SRGB 1027        /* check box "Convert to sRGB": the image from its profile to sRGB */
#define IDC_PANEL_SIXTEEN_BITS 1028        /* check box "16 Bits/Channel": a 16-bit document's file keeps 16 bits */
#define IDC_PANEL_PALETTE_VIEW 333         /* palette view container, made at run time; its cells are 334 to 589 */

/* About box. */
#define IDC_ABOUT_LINK 1004
#define IDC_ABOUT_VERSION 1033
#define IDC_ABOUT_PICTURE 1034

#endif
