#!/bin/sh
# Packs the unit's configuration for download as xml_config.tar in the web
# root: a tar holding xml_config/ with the stack files and the live web
# configuration, the layout the configuration import unpacks.
# (Simulated unit: also records the export in $ONU_SIM_STATE/log/export_xml.log.)
set -eu
archive=/var/vesk/website/www/xml_config.tar
work=/tmp/xml_export.$$
rm -rf "$work"
mkdir -p "$work/xml_config"
# The live web configuration goes last: it wins over a stale copy in /etc/xml_params.
cp /etc/xml_params/*.xml "$work/xml_config/"
cp /var/vesk/website/www/xml/vesk_xml_cfg_file.xml "$work/xml_config/"
tar -cf "$archive" -C "$work" xml_config
rm -rf "$work"
echo "export $archive" >>"${ONU_SIM_STATE:?}/log/export_xml.log"
