#!/bin/sh
# The Debian package scripts/package made holds what an installation needs
# and declares what it depends on. Skipped (77) when no package was built.
#   package_contents_test.sh PACKAGE_DIR
set -u
deb=$(ls -t "$1"/tablift_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "no package in $1 (scripts/package makes one): skipped"
  exit 77
fi

listing=$(dpkg-deb -c "$deb" | awk '{print $6}') || exit 1
failed=0
for path in \
  ./usr/bin/tablift \
  ./usr/bin/tablift-cli \
  ./usr/lib/tablift/MyODBC3.51/libmyodbc3.so \
  ./usr/share/applications/tablift.desktop \
  ./usr/share/icons/hicolor/scalable/apps/tablift.svg \
  ./usr/share/metainfo/io.github.tablift.Tablift.metainfo.xml \
  ./usr/share/man/man1/tablift.1.gz \
  ./usr/share/man/man1/tablift-cli.1.gz \
  ./usr/share/doc/tablift/manual.html
do
  if ! printf '%s\n' "$listing" | grep -qx "$path"; then
    echo "missing from $deb: $path"
    failed=1
  fi
done
# Nothing of the build tree or the tests travels.
if printf '%s\n' "$listing" | grep -E 'tests_|/build/|\.a$|\.o$'; then
  echo "build leftovers in $deb"
  failed=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in odbc-mariadb unixodbc libmdb libqt6widgets6 libpcre2-8; do
  case "$depends" in
    *"$package"*) ;;
    *) echo "Depends lacks $package: $depends"; failed=1 ;;
  esac
done

# The manual page of the command line names every command and option that
# its help names.
page=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/tablift-cli.1.gz | gzip -dc)
for word in create-mdb sample migrate verify backup condition drivers install-driver \
  'db create' drop-table drop-view rename-table \
  server user password dsn source-password database create table view tables views \
  engine charset names report quiet verbose call rows yes help version; do
  if ! printf '%s\n' "$page" | sed 's/\\-/-/g' | grep -q -- "$word"; then
    echo "the manual page of tablift-cli does not name $word"
    failed=1
  fi
done
# Unpacked as installed, the command line runs and keeps its files under the
# user's XDG data folder, never beside the program (root could write there).
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
if ! XDG_DATA_HOME="$scratch/data" TABLIFT_HOME= "$scratch/root/usr/bin/tablift-cli" \
  sample "$scratch/sample.mdb" --rows 10 >/dev/null; then
  echo "the installed tablift-cli cannot write the sample database"
  failed=1
fi
if ! XDG_DATA_HOME="$scratch/data" ODBCSYSINI="$scratch" \
  "$scratch/root/usr/bin/tablift-cli" install-driver "$scratch/odbc/lib" >/dev/null ||
  [ ! -f "$scratch/odbc/lib/libmyodbc3.so" ]; then
  echo "the installed tablift-cli does not find the driver it ships"
  failed=1
fi
leftovers=$(ls -A "$scratch/root/usr/bin" | grep -v -x -e tablift -e tablift-cli)
if [ -n "$leftovers" ]; then
  echo "files written beside the installed program: $leftovers"
  failed=1
fi
[ -d "$scratch/data/tablift" ] || { echo "no settings folder under XDG_DATA_HOME"; failed=1; }
exit $failed
