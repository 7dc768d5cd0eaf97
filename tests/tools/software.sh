# ovo licence reserve and free, chained, and the software classes through `ovo object`.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
APP=$(cat "$EXAMPLES/software/application.xml")

# The example's licences with the two Used counts (and a further entry).
lic() {
  printf '<SoftwareLicenses><LicenseEntry><License>KEY-ALL</License><Filter></Filter><Count>10</Count><Offline>1</Offline><Used>%s</Used></LicenseEntry><LicenseEntry><License>KEY-2X</License><Filter>2.*</Filter><Count>2</Count><Offline>0</Offline><Used>%s</Used></LicenseEntry>%s</SoftwareLicenses>' "$1" "$2" "$3"
}
ORIG=$(lic 8 1)
app() { local l; l=$(lic "$1" "$2" "$3"); printf '%s' "${APP/"$ORIG"/$l}"; }
# A reservation for 2.10.3: key, remaining, action, continue, filter node.
res() {
  printf '<ReservedLicense><GUIDMachine></GUIDMachine><GUIDSoftware></GUIDSoftware><MachineDisplayName></MachineDisplayName><SWVendor></SWVendor><SWName></SWName><SWVersion>2.10.3</SWVersion><Reservation>0</Reservation><LicenseKey>%s</LicenseKey><RemainingLicenses>%s</RemainingLicenses><Action>%s</Action><ContinueInstall>%s</ContinueInstall>%s</ReservedLicense>' "$1" "$2" "$3" "$4" "$5"
}
# The application part of a previous call's output, as the next call's input.
next() { printf '%s\n' "$1" | tail -n +3; }
[ "$(app 8 1)" = "$APP" ] || { echo "FAIL: example licences not found"; exit 1; }

# Both entries have one licence left: the last one goes first, action 1 (limit 5 >= 2 - 1).
expect "1
$(res KEY-2X 0 1 1 '<LicenseFilter>2.*</LicenseFilter>')
$(app 8 2)" 0 -- licence reserve 2.10.3 "$EXAMPLES/software/application.xml"
OUT=$("$OVO" licence reserve 2.10.3 "$EXAMPLES/software/application.xml")
# One left in total: the first entry, and the later action entry (limit 0 >= 0) overrides.
STDIN=$(next "$OUT") expect "1
$(res KEY-ALL 0 2 1 '')
$(app 9 2)" 0 -- licence reserve 2.10.3
OUT=$(next "$OUT" | "$OVO" licence reserve 2.10.3)
# None left: the limit-0 entry stops the installation; nothing is taken.
STDIN=$(next "$OUT") expect "0
$(res '' 0 2 0 '')
$(app 9 2)" 0 -- licence reserve 2.10.3
# Freeing: the key ignores case and "2.*" covers the suffixed version; an unknown key adds an entry.
STDIN=$(next "$OUT") expect "1

$(app 9 1)" 0 -- licence free key-2x 2.10.3/x64
OUT=$(next "$OUT" | "$OVO" licence free key-2x 2.10.3/x64)
STDIN=$(next "$OUT") expect "1

$(app 9 1 '<LicenseEntry><License>KEY-NEW</License><Filter>3.0</Filter><Count>1</Count><Offline>0</Offline><Used>0</Used></LicenseEntry>')" 0 -- licence free KEY-NEW 3.0
STDIN='<Other/>' expect_status 1 -- licence reserve 1.0
expect_status 2 -- licence reserve
expect_status 2 -- licence free KEY
expect_status 2 -- licence

# Round trips through `ovo object`.
expect "$APP" 0 -- object OVOSoftwareApplication "$EXAMPLES/software/application.xml"
STDIN="<SoftwareApplications>$APP<Other/><softwareApplication/>$APP</SoftwareApplications>" \
  expect "<SoftwareApplications>$APP$(echo '<SoftwareApplication/>' | "$OVO" object OVOSoftwareApplication)$APP</SoftwareApplications>" 0 -- object OVOSoftwareApplicationList
STDIN='<Dependencies><Type>9</Type><OS>1</OS><GUID>g</GUID><Vendor>v</Vendor><Name>n</Name><Version>1</Version></Dependencies>' \
  expect '<Dependencies><Type>1</Type><OS>1</OS><GUID>g</GUID><Vendor>v</Vendor><Name>n</Name><Version>1</Version></Dependencies>' 0 -- object OVOSoftwareApplication::DependencyEntry
STDIN='<LicenseActions><ActionEntry><Type>3</Type></ActionEntry></LicenseActions>' \
  expect '<LicenseActions><ActionEntry><Limit>0</Limit><Type>3</Type><ContinueInstallation>1</ContinueInstallation></ActionEntry></LicenseActions>' 0 -- object _OVOLicenseActions
STDIN='<ManagedSoftwareData><X a="1"/><eulaurl>u</eulaurl></ManagedSoftwareData>' \
  expect '<ManagedSoftwareData><EULAURL>u</EULAURL><EULAReleaseDate></EULAReleaseDate><EULAAcceptedDate></EULAAcceptedDate><X a="1"/></ManagedSoftwareData>' 0 -- object OVOManagedSoftwareProperties
for c in OVOSoftwareLicenses OVOReservedLicense OVOSoftwareFiles OVOSoftwareFiles::FileEntry OVOInstallEngine OVOAUTApplicationDetectRules; do
  STDIN='<Other/>' expect_status 1 -- object "$c"
done
finish
